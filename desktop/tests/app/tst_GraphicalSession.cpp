// Whether a display server answers where the environment says: X11 on its local or TCP socket,
// Wayland on its socket in the runtime folder; a stale or malformed variable is no session.

#include <corvane/GraphicalSession.h>

#include <QLocalServer>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

class TestGraphicalSession : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nothingThereIsNoSession_data() {
        QTest::addColumn<Environment>("environment");
        QTest::newRow("no variables") << Environment{};
        QTest::newRow("a display nobody serves") << Environment{{u"DISPLAY"_s, u":59321"_s}};
        QTest::newRow("not a display") << Environment{{u"DISPLAY"_s, u"nonsense"_s}};
        QTest::newRow("a negative display") << Environment{{u"DISPLAY"_s, u":-1"_s}};
        QTest::newRow("a forwarded display nobody serves") << Environment{{u"DISPLAY"_s, u"127.0.0.1:59"_s}};
        QTest::newRow("a Wayland socket that is not there") << Environment{
            {u"WAYLAND_DISPLAY"_s, u"wayland-59"_s}, {u"XDG_RUNTIME_DIR"_s, u"/nonexistent"_s}};
    }
    void nothingThereIsNoSession() {
        QFETCH(Environment, environment);
        QVERIFY(!GraphicalSession::answers(environment));
    }

    void aLocalX11ServerAnswers() {
        // A display number nobody uses, served by a socket where X servers put theirs.
        QVERIFY(QDir().mkpath(u"/tmp/.X11-unix"_s));
        QLocalServer server;
        int number = 59000;
        while (!server.listen(u"/tmp/.X11-unix/X%1"_s.arg(number)) && number < 59100)
            ++number;
        QVERIFY(server.isListening());
        QVERIFY(GraphicalSession::answers({{u"DISPLAY"_s, u":%1.0"_s.arg(number)}}));
        QVERIFY(GraphicalSession::answers({{u"DISPLAY"_s, u"unix:%1"_s.arg(number)}}));
    }

    void aForwardedX11ServerAnswers() {
        QTcpServer server;
        int number = 60;
        while (!server.listen(QHostAddress::LocalHost, static_cast<quint16>(6000 + number)) && number < 99)
            ++number;
        QVERIFY(server.isListening());
        QVERIFY(GraphicalSession::answers({{u"DISPLAY"_s, u"127.0.0.1:%1.0"_s.arg(number)}}));
    }

    void aWaylandServerAnswers() {
        const QTemporaryDir runtime;
        QLocalServer server;
        QVERIFY(server.listen(runtime.filePath(u"wayland-1"_s)));
        QVERIFY(GraphicalSession::answers(
            {{u"WAYLAND_DISPLAY"_s, u"wayland-1"_s}, {u"XDG_RUNTIME_DIR"_s, runtime.path()}}));
        QVERIFY(GraphicalSession::answers({{u"WAYLAND_DISPLAY"_s, runtime.filePath(u"wayland-1"_s)}}));
    }
};

QTEST_GUILESS_MAIN(TestGraphicalSession)
#include "tst_GraphicalSession.moc"
