// Kestrin on Wayland, in weston's headless compositor (drawn with pixman) with no tray host, as on a
// bare compositor or GNOME without its AppIndicator extension: after the wait, the panel comes as a
// native Wayland window with the desktop entry's app id and Kestrin's title, photographed with
// weston's screenshooter; SIGTERM still stops the server first.

#include "support/KestrinProcess.h"
#include "support/TestPorts.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

namespace {

// A weston of the test's own, on a socket in a private runtime folder.
class Weston {
public:
    static constexpr QStringView socket = u"kestrin-test";

    Weston() {
        QFile::setPermissions(m_runtime.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_runtime.path());
        environment.remove(u"DISPLAY"_s);
        environment.remove(u"WAYLAND_DISPLAY"_s);
        m_compositor.setProcessEnvironment(environment);
        m_compositor.setStandardOutputFile(QProcess::nullDevice());
        m_compositor.setStandardErrorFile(QProcess::nullDevice());
        // --debug lets the screenshooter in.
        m_compositor.start(u"weston"_s, {u"--backend=headless-backend.so"_s, u"--use-pixman"_s,
                                         u"--socket=%1"_s.arg(socket), u"--width=1280"_s, u"--height=800"_s,
                                         u"--idle-time=0"_s, u"--debug"_s});
        m_running = m_compositor.waitForStarted() &&
                    waitForSocket(m_compositor, m_runtime.filePath(socket.toString()));
    }
    ~Weston() { stopProcess(m_compositor); }

    bool running() const { return m_running; }
    QString runtime() const { return m_runtime.path(); }

    // Saves the screen as `name`.png in the gallery.
    bool photograph(const QString& name) const {
        QDir().mkpath(QStringLiteral(GALLERY_DIR));
        QTemporaryDir shots;
        QProcess shooter;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_runtime.path());
        environment.insert(u"WAYLAND_DISPLAY"_s, socket.toString());
        shooter.setProcessEnvironment(environment);
        shooter.setWorkingDirectory(shots.path());
        shooter.start(u"weston-screenshooter"_s, QStringList{});
        if (!shooter.waitForFinished(10000) || shooter.exitCode() != 0)
            return false;
        const QStringList taken = QDir(shots.path()).entryList({u"*.png"_s}, QDir::Files);
        const QString target = u"%1/%2.png"_s.arg(QStringLiteral(GALLERY_DIR), name);
        QFile::remove(target);
        return taken.size() == 1 && QFile::copy(QDir(shots.path()).filePath(taken.first()), target);
    }

private:
    QTemporaryDir m_runtime;
    QProcess m_compositor;
    bool m_running = false;
};

} // namespace

class TestWaylandDesktop : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void withoutATrayThePanelIsANativeWindowWithTheAppId() {
        const Weston weston;
        QVERIFY2(weston.running(), "weston (Debian's package) is needed for this test");
        const int port = freeLoopbackPort();
        QElapsedTimer launched;
        launched.start();
        Kestrin kestrin(port, {},
                        {
                            {u"WAYLAND_DISPLAY"_s, Weston::socket.toString()},
                            {u"XDG_RUNTIME_DIR"_s, weston.runtime()},
                            {u"XDG_SESSION_TYPE"_s, u"wayland"_s},
                            {u"CORVANE_SUPPRESS_WELCOME"_s, u"1"_s},
                            // No session bus, so no tray host; libwayland tells what the window asks for.
                            {u"DBUS_SESSION_BUS_ADDRESS"_s, u"unix:path=/nonexistent"_s},
                            {u"WAYLAND_DEBUG"_s, u"client"_s},
                            {u"LSAN_OPTIONS"_s, u"suppressions=" REPO_ROOT
                                                "/desktop/tests/support/fixtures/wayland-leaks.supp"_s},
                        },
                        {});
        const QString appId =
            kestrin.waitFor(QRegularExpression(u"xdg_toplevel@\\d+\\.set_app_id\\(\"([^\"]+)\"\\)"_s), 30000);
        QCOMPARE(appId, u"com.mossgate.corvane.mac"_s);
        QVERIFY2(launched.elapsed() > 5000, "the window did not wait for a tray");
        QVERIFY(kestrin.output().contains(u".set_title(\"Kestrin\")"_s));
        // Qt's own tray icon, which has nothing to dock in here, is not offered.
        QVERIFY(!kestrin.output().contains(u"systemTrayWindowChanged"_s));
        QTest::qWait(1000); // drawn
        QVERIFY(weston.photograph(u"desktop-wayland-no-tray"_s));

        ::kill(static_cast<pid_t>(kestrin.process().processId()), SIGTERM);
        QVERIFY(kestrin.process().waitForFinished(15000));
        kestrin.waitFor(QRegularExpression(u"(never)"_s), 0); // gathers what it printed last
        QVERIFY2(kestrin.process().exitCode() == 0, qPrintable(kestrin.output().right(3000)));
        QVERIFY(portIsFree(port));
    }
};

QTEST_GUILESS_MAIN(TestWaylandDesktop)
#include "tst_WaylandDesktop.moc"
