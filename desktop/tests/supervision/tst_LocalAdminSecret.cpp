#include "support/TestSupport.h"

#include <corvane/supervision/LocalAdminHandover.h>
#include <corvane/supervision/LocalAdminSecret.h>
#include <corvane/supervision/ServerLaunchPlan.h>
#include <corvane/supervision/ServerState.h>

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <thread>
#include <unistd.h>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

std::pair<UniqueFd, UniqueFd> makePipe() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        qFatal("pipe2 failed");
    return {UniqueFd(ends[0]), UniqueFd(ends[1])};
}

QByteArray readToEnd(int fd) {
    QByteArray all;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return all;
        all.append(buffer, got);
    }
}

void interrupted(int) {}

} // namespace

class TestLocalAdminSecret : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shape_data() {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("64 lowercase hex") << u"0123456789abcdef"_s.repeated(4) << true;
        QTest::newRow("63 characters") << QString(63, u'a') << false;
        QTest::newRow("65 characters") << QString(65, u'a') << false;
        QTest::newRow("uppercase letter") << u"A"_s + QString(63, u'a') << false;
        QTest::newRow("letter past f") << u"g"_s + QString(63, u'a') << false;
        QTest::newRow("space") << u" "_s + QString(63, u'a') << false;
        QTest::newRow("non-ASCII digit") << u"٣"_s + QString(63, u'a') << false;
        QTest::newRow("empty") << QString() << false;
    }
    void shape() {
        QFETCH(QString, hex);
        QFETCH(bool, accepted);
        QCOMPARE(LocalAdminSecret::fromHex(hex).has_value(), accepted);
    }

    void mintedSecretsHaveTheShapeAndDiffer() {
        const QRegularExpression shape(u"^[0-9a-f]{64}$"_s);
        const auto first = LocalAdminSecret::mint();
        const auto second = LocalAdminSecret::mint();
        QVERIFY(first && second);
        QVERIFY(shape.match(first->hex()).hasMatch());
        QVERIFY(shape.match(second->hex()).hasMatch());
        QVERIFY(*first != *second);
        QCOMPARE(LocalAdminSecret::fromHex(first->hex()), first.value());
    }

    void handoverLineIsEightyThreeBytes() {
        const auto secret = LocalAdminSecret::fromHex(QString(64, u'0'));
        const QByteArray expected = "{\"adminSecret\":\"" + QByteArray(64, '0') + "\"}\n";
        QCOMPARE(secret->handoverLine(), expected);
        QCOMPARE(secret->handoverLine().size(), 83);
    }

    void neverShown() {
        const auto secret = *LocalAdminSecret::mint();
        const QString redacted = u"LocalAdminSecret(****)"_s;
        QCOMPARE(secret.toString(), redacted);
        QCOMPARE(debugText(secret), redacted);
        const ServerLaunchPlan plan{.executable = u"/n"_s, .localAdminSecret = secret};
        QVERIFY(debugText(plan).contains(redacted));
        QVERIFY(!debugText(plan).contains(secret.hex()));
        const auto handoverFailure = LocalAdminHandover::HandoverError{32};
        const ServerState state =
            ServerState::failed(ServerFailure::LaunchFailed{handoverFailure.description()});
        QCOMPARE(debugText(state), u"failed(launchFailed(writeFailed(code: 32)))"_s);
    }

    void handoverWritesTheLineThenEndOfFile() {
        auto [reader, writer] = makePipe();
        const auto secret = *LocalAdminSecret::mint();
        QVERIFY(LocalAdminHandover::write(secret, std::move(writer)));
        QCOMPARE(readToEnd(reader.get()), secret.handoverLine());
    }

    void handoverToAGoneReaderIsEpipe() {
        auto [reader, writer] = makePipe();
        reader.reset();
        const auto previous = std::signal(SIGPIPE, SIG_DFL); // the default would end the process
        const auto written = LocalAdminHandover::write(*LocalAdminSecret::mint(), std::move(writer));
        std::signal(SIGPIPE, previous);
        QCOMPARE(written, std::unexpected(LocalAdminHandover::HandoverError{32}));
    }

    // A large write through a small pipe, read slowly while a timer keeps interrupting it: partial writes
    // and EINTR both happen, and every byte still arrives once, in order.
    void writeAllContinuesAfterPartialAndInterruptedWrites() {
        auto [reader, writer] = makePipe();
        QByteArray payload(1 << 20, Qt::Uninitialized);
        for (qsizetype i = 0; i < payload.size(); ++i)
            payload[i] = static_cast<char>(i * 7 % 251);

        struct sigaction action {};
        action.sa_handler = interrupted; // no SA_RESTART: blocked writes return EINTR or a short count
        struct sigaction previous {};
        sigaction(SIGALRM, &action, &previous);
        const itimerval every{{0, 500}, {0, 500}};
        setitimer(ITIMER_REAL, &every, nullptr);

        QByteArray received;
        std::thread slowReader([&, fd = reader.get()] { received = readToEnd(fd); });
        const auto written = writeAll(writer.get(), payload);
        writer.reset();
        slowReader.join();

        const itimerval off{};
        setitimer(ITIMER_REAL, &off, nullptr);
        sigaction(SIGALRM, &previous, nullptr);
        QVERIFY(written);
        QCOMPARE(received.size(), payload.size());
        QVERIFY(received == payload);
    }

    void smokeCopyIsOwnerOnly() {
        const QTemporaryDir dir;
        const QString path = dir.filePath(u"not/yet/there/secret"_s);
        const auto secret = *LocalAdminSecret::mint();
        const mode_t previousMask = ::umask(0); // even with nothing masked, others never get to read it
        const auto written = secret.writeHexForSmoke(path);
        ::umask(previousMask);
        QVERIFY(written);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), secret.hex().toLatin1());
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0600));
    }

    void smokeCopyReplacesAnOldFileAndItsMode() {
        const QTemporaryDir dir;
        const QString path = dir.filePath(u"secret"_s);
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old secret that is much longer than the new one ........................................");
        old.close();
        QVERIFY(
            old.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther));
        const auto secret = *LocalAdminSecret::mint();
        QVERIFY(secret.writeHexForSmoke(path));
        QFile fresh(path);
        QVERIFY(fresh.open(QIODevice::ReadOnly));
        QCOMPARE(fresh.readAll(), secret.hex().toLatin1());
        QCOMPARE(fresh.permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
                 QFileDevice::Permissions());
    }

    void smokeCopyUnderAFileFailsWithWords() {
        const QTemporaryDir dir;
        QFile blocker(dir.filePath(u"blocker"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const auto written = LocalAdminSecret::mint()->writeHexForSmoke(dir.filePath(u"blocker/secret"_s));
        QVERIFY(!written);
        QVERIFY(!written.error().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLocalAdminSecret)
#include "tst_LocalAdminSecret.moc"
