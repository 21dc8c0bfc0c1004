// The terminal face over a model on fakes: what it prints, when, and the commands it takes.

#include "ServerViewModelFixture.h"

#include <corvane/TerminalFace.h>

#include <QTest>

#include <cstdio>
#include <unistd.h>

using namespace corvane;

namespace {

// A file the face writes to, read back by the test.
class Capture {
public:
    Capture()
        : m_file(std::tmpfile()) {}
    ~Capture() { std::fclose(m_file); }
    std::FILE* file() const { return m_file; }
    QString text() const {
        std::fflush(m_file);
        std::rewind(m_file);
        QByteArray bytes;
        char buffer[4096];
        while (const std::size_t count = std::fread(buffer, 1, sizeof buffer, m_file))
            bytes.append(buffer, static_cast<qsizetype>(count));
        return QString::fromUtf8(bytes);
    }

private:
    std::FILE* m_file;
};

// The write end of the face's command input.
class CommandPipe {
public:
    CommandPipe() { QVERIFY(::pipe(m_fds) == 0); }
    ~CommandPipe() {
        ::close(m_fds[0]);
        if (m_fds[1] >= 0)
            ::close(m_fds[1]);
    }
    int readEnd() const { return m_fds[0]; }
    void send(const QByteArray& text) {
        QCOMPARE(::write(m_fds[1], text.constData(), text.size()), text.size());
    }
    void close() { ::close(std::exchange(m_fds[1], -1)); }

private:
    int m_fds[2] = {-1, -1};
};

} // namespace

class TestTerminalFace : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void printsEachChangeOnceWhenNotATerminal() {
        Fixture f;
        f.make();
        Capture output;
        TerminalFace face(*f.model, nullptr, output.file(), false, -1);
        f.startRunning();
        f.model->supervisor().stop();
        settle();
        const QString text = output.text();
        // OFF at start and again after the stop: the stop's cleared readouts make one block, not several.
        QCOMPARE(text.count(u"Kestrin OFF"_s), 2);
        QCOMPARE(text.count(u"Kestrin ON"_s), 1);
        QVERIFY(!text.contains(u"GOOD FOR"_s));
    }

    void updatesTheCountdownInPlaceOnATerminal() {
        Fixture f;
        f.server->setup = setupDownloading; // answers the network, so the code is shown
        f.server->code = QByteArray(R"({"code":"111111","expiresAt":)") +
                         QByteArray::number((1'800'000'000 + 125) * qint64(1000)) + '}';
        f.make();
        Capture output;
        TerminalFace face(*f.model, nullptr, output.file(), true, -1);
        f.startRunning();
        f.advance(2);
        settle();
        const QString text = output.text();
        QVERIFY2(text.contains(u"Then type this code: 111111"_s), qPrintable(text));
        QVERIFY(text.contains(u"GOOD FOR 2:05"_s));
        QVERIFY(text.contains(u"\r\x1b[2KGOOD FOR 2:04"_s));
        QVERIFY(text.contains(u"\r\x1b[2KGOOD FOR 2:03"_s));
        QCOMPARE(text.count(u"Then type this code"_s), 1); // the block itself is not printed again
    }

    void takesCommandsFromItsInput() {
        Fixture f;
        f.make();
        Capture output;
        CommandPipe commands;
        TerminalFace face(*f.model, nullptr, output.file(), false, commands.readEnd());
        f.startRunning();

        commands.send("h\n");
        QTRY_COMPARE(f.model->networkPreference(), NetworkPreference::homeNetwork);
        commands.send("n\n");
        QTRY_COMPARE(f.count(u"POST /api/pair/code"_s), 1);
        const int setupReads = f.count(u"GET /api/setup"_s);
        commands.send("r\n");
        QTRY_COMPARE(f.count(u"GET /api/setup"_s), setupReads + 1);
        commands.send("  what\n");
        QTRY_VERIFY(output.text().contains(u"There is no command “what”."_s));
        // A line too long to be a command is dropped whole, up to its line feed, and said so: what
        // comes after its first kilobyte is not run as a command of its own.
        commands.send(QByteArray(1280, 'a') + "h\n");
        QTRY_VERIFY(output.text().contains(u"That line is too long to be a command."_s));
        commands.send("n\n");
        QTRY_COMPARE(f.count(u"POST /api/pair/code"_s), 2);
        QCOMPARE(f.model->networkPreference(), NetworkPreference::homeNetwork);
        commands.close();
        settle(); // the end of input is taken quietly
        QVERIFY(f.model->state().isRunning());
    }
};

QTEST_GUILESS_MAIN(TestTerminalFace)
#include "tst_TerminalFace.moc"
