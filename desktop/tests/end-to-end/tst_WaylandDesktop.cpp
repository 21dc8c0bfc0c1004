// Kestrin on Wayland, each compositor headless and drawing with pixman:
// - weston with no tray host, as on a bare compositor or GNOME without its AppIndicator extension: after
//   the wait, the panel comes as a native Wayland window with the desktop entry's app id and Kestrin's
//   title, photographed with weston's screenshooter;
// - sway with waybar's tray: the icon is a StatusNotifierItem in the bar, and a click shows the panel
//   as a floating window that sway places, photographed with grim.
// SIGTERM still stops the server first.

#include "support/KestrinProcess.h"
#include "support/PrivateBus.h"
#include "support/TestPorts.h"
#include "support/TestSupport.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A folder only its owner may enter, as XDG_RUNTIME_DIR must be.
bool makePrivate(const QString& path) {
    return QFile::setPermissions(path,
                                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// The person at the desktop. sway refuses to run as root, so a test run as root plays them with a
// system account of its own, made for the test and removed after it; otherwise it is the test's user.
class DesktopAccount {
public:
    static constexpr QStringView name = u"kestrin-desktop-test";

    DesktopAccount() {
        if (::geteuid() != 0) {
            m_ids = {::getuid(), ::getgid()};
            return;
        }
        const QByteArray account = name.toUtf8();
        if (!::getpwnam(account.constData()))
            m_created =
                QProcess::execute(u"useradd"_s, {u"--system"_s, u"--user-group"_s, u"--no-create-home"_s,
                                                 u"--shell"_s, u"/usr/sbin/nologin"_s, name.toString()}) == 0;
        if (const passwd* entry = ::getpwnam(account.constData()))
            m_ids = {entry->pw_uid, entry->pw_gid};
    }
    ~DesktopAccount() {
        if (m_created)
            QProcess::execute(u"userdel"_s, {name.toString()});
    }
    DesktopAccount(const DesktopAccount&) = delete;
    DesktopAccount& operator=(const DesktopAccount&) = delete;

    bool exists() const { return m_ids.has_value(); }
    // Gives `path` to the account.
    bool own(const QString& path) const {
        return m_ids && ::chown(qPrintable(path), m_ids->first, m_ids->second) == 0;
    }
    // Starts `program` as the account.
    void start(QProcess& process, const QString& program, const QStringList& arguments) const {
        if (::geteuid() != 0 || !m_ids) {
            process.start(program, arguments);
            return;
        }
        process.start(u"setpriv"_s,
                      QStringList{u"--reuid=%1"_s.arg(m_ids->first), u"--regid=%1"_s.arg(m_ids->second),
                                  u"--clear-groups"_s, u"--"_s, program} +
                          arguments);
    }

private:
    std::optional<std::pair<uid_t, gid_t>> m_ids;
    bool m_created = false;
};

// sway as the account's compositor, with waybar as its bar and tray host on the test's bus. Every
// client but sway runs as the test's user, reaching sway by the full path of its socket.
class SwayDesktop {
public:
    SwayDesktop(const DesktopAccount& account, const QString& busAddress) {
        QFile config(m_runtime.filePath(u"sway.conf"_s));
        if (!config.open(QIODevice::WriteOnly) ||
            !config.write("output HEADLESS-1 resolution 1280x800\ndefault_border none\n"))
            return;
        config.close();
        if (!makePrivate(m_runtime.path()) || !account.own(m_runtime.path()) ||
            !makePrivate(m_clients.path()))
            return;
        QProcessEnvironment compositorEnvironment;
        compositorEnvironment.insert(u"PATH"_s, qEnvironmentVariable("PATH"));
        compositorEnvironment.insert(u"HOME"_s, m_runtime.path());
        compositorEnvironment.insert(u"XDG_RUNTIME_DIR"_s, m_runtime.path());
        compositorEnvironment.insert(u"WLR_BACKENDS"_s, u"headless"_s);
        compositorEnvironment.insert(u"WLR_RENDERER"_s, u"pixman"_s);
        compositorEnvironment.insert(u"WLR_LIBINPUT_NO_DEVICES"_s, u"1"_s);
        m_compositor.setProcessEnvironment(compositorEnvironment);
        m_compositor.setStandardOutputFile(QProcess::nullDevice());
        m_compositor.setStandardErrorFile(QProcess::nullDevice());
        account.start(m_compositor, u"sway"_s, {u"-c"_s, config.fileName()});
        if (!m_compositor.waitForStarted() ||
            !waitUntil(
                [this] {
                    return m_compositor.state() != QProcess::Running ||
                           (!entry(u"wayland-*"_s).isEmpty() && !entry(u"sway-ipc.*.sock"_s).isEmpty());
                },
                10000))
            return;
        m_display = entry(u"wayland-*"_s);
        m_ipc = entry(u"sway-ipc.*.sock"_s);
        m_running = m_compositor.state() == QProcess::Running && !m_display.isEmpty() && !m_ipc.isEmpty();
        if (!m_running)
            return;

        QFile bar(m_clients.filePath(u"waybar.json"_s));
        QFile style(m_clients.filePath(u"waybar.css"_s));
        if (!bar.open(QIODevice::WriteOnly) || !style.open(QIODevice::WriteOnly) ||
            !bar.write(R"({"layer": "top", "position": "top", "height": 28, "modules-right": ["tray"],
                          "tray": {"icon-size": 20, "spacing": 6}})") ||
            !style.write("* { font-size: 12px; } #tray { padding: 0 8px; }"))
            return;
        bar.close();
        style.close();
        QProcessEnvironment barEnvironment = clientEnvironment();
        barEnvironment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, busAddress);
        barEnvironment.insert(u"NO_AT_BRIDGE"_s, u"1"_s);
        m_bar.setProcessEnvironment(barEnvironment);
        m_bar.setStandardOutputFile(QProcess::nullDevice());
        m_bar.setStandardErrorFile(QProcess::nullDevice());
        m_bar.start(u"waybar"_s, {u"-c"_s, bar.fileName(), u"-s"_s, style.fileName()});
        m_barStarted = m_bar.waitForStarted();
    }
    ~SwayDesktop() {
        stopProcess(m_bar);
        stopProcess(m_compositor);
    }

    bool running() const { return m_running; }
    bool barStarted() const { return m_barStarted; }
    // The full path of the compositor's socket, as WAYLAND_DISPLAY may give it.
    const QString& display() const { return m_display; }
    // A runtime folder for the test's user's clients.
    QString clientRuntime() const { return m_clients.path(); }

    // Saves the screen as `name`.png in the gallery.
    bool photograph(const QString& name) const {
        QDir().mkpath(QStringLiteral(GALLERY_DIR));
        const QString target = u"%1/%2.png"_s.arg(QStringLiteral(GALLERY_DIR), name);
        QFile::remove(target);
        return run(u"grim"_s, {target}).has_value() && QFileInfo::exists(target);
    }

    // The windows sway floats whose app id is `appId`, each with its place on the output; none when
    // sway could not be asked.
    std::optional<QList<QRect>> floatingWindows(const QString& appId) const {
        QList<QRect> found;
        const std::optional<QByteArray> tree = run(u"swaymsg"_s, {u"-t"_s, u"get_tree"_s, u"-r"_s});
        if (!tree)
            return std::nullopt;
        std::function<void(const QJsonObject&)> visit = [&](const QJsonObject& node) {
            for (const QJsonValue floating : node.value(u"floating_nodes"_s).toArray()) {
                const QJsonObject window = floating.toObject();
                const QJsonObject rect = window.value(u"rect"_s).toObject();
                if (window.value(u"app_id"_s).toString() == appId && window.value(u"visible"_s).toBool())
                    found.append(QRect(rect.value(u"x"_s).toInt(), rect.value(u"y"_s).toInt(),
                                       rect.value(u"width"_s).toInt(), rect.value(u"height"_s).toInt()));
            }
            for (const QJsonValue child : node.value(u"nodes"_s).toArray())
                visit(child.toObject());
        };
        visit(QJsonDocument::fromJson(*tree).object());
        return found;
    }

private:
    QString entry(const QString& pattern) const {
        const QStringList names = QDir(m_runtime.path()).entryList({pattern}, QDir::System | QDir::Files);
        for (const QString& name : names)
            if (!name.endsWith(u".lock"_s))
                return m_runtime.filePath(name);
        return {};
    }
    QProcessEnvironment clientEnvironment() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_clients.path());
        environment.insert(u"WAYLAND_DISPLAY"_s, m_display);
        environment.insert(u"SWAYSOCK"_s, m_ipc);
        environment.remove(u"DISPLAY"_s);
        return environment;
    }
    std::optional<QByteArray> run(const QString& program, const QStringList& arguments) const {
        QProcess tool;
        tool.setProcessEnvironment(clientEnvironment());
        tool.start(program, arguments);
        if (!tool.waitForFinished(10000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
            return std::nullopt;
        return tool.readAllStandardOutput();
    }

    QTemporaryDir m_runtime;
    QTemporaryDir m_clients;
    QProcess m_compositor;
    QProcess m_bar;
    QString m_display;
    QString m_ipc;
    bool m_running = false;
    bool m_barStarted = false;
};

// The items a StatusNotifierWatcher announces, and when the first came, in milliseconds of `clock`.
class WatcherListener : public QObject {
    Q_OBJECT
public:
    QElapsedTimer clock;
    QStringList registered;
    qint64 firstAt = -1;
public Q_SLOTS:
    void itemRegistered(const QString& item) {
        if (registered.isEmpty())
            firstAt = clock.elapsed();
        registered.append(item);
    }
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

        kestrin.terminate();
        QVERIFY(kestrin.process().waitForFinished(15000));
        kestrin.drain();
        QVERIFY2(kestrin.process().exitCode() == 0, qPrintable(kestrin.output().right(3000)));
        QVERIFY(portIsFree(port));
    }

    // The icon is an item in waybar's tray as soon as Kestrin starts; a click on it floats the panel
    // where sway puts it, under the desktop entry's app id, and a second click closes it.
    void withWaybarTheIconIsInItsTrayAndAClickFloatsThePanel() {
        const DesktopAccount account;
        QVERIFY2(account.exists(), "the test could not make an account to run sway as");
        const PrivateBus bus;
        QVERIFY2(!bus.address().isEmpty(), "dbus-daemon is installed by scripts/bootstrap");
        const SwayDesktop desktop(account, bus.address());
        QVERIFY2(desktop.running(), "sway (Debian's package) is needed for this test");
        QVERIFY2(desktop.barStarted(), "waybar (Debian's package) is needed for this test");
        QDBusConnection client = bus.connect(u"test"_s);
        const QString watcher = u"org.kde.StatusNotifierWatcher"_s;
        QTRY_VERIFY_WITH_TIMEOUT(client.interface()->isServiceRegistered(watcher), 15000);
        WatcherListener listener;
        QVERIFY(client.connect(watcher, u"/StatusNotifierWatcher"_s, watcher,
                               u"StatusNotifierItemRegistered"_s, &listener, SLOT(itemRegistered(QString))));

        const int port = freeLoopbackPort();
        QTemporaryDir kestrinRuntime;
        QVERIFY(makePrivate(kestrinRuntime.path()));
        listener.clock.start();
        Kestrin kestrin(port, {},
                        {
                            {u"WAYLAND_DISPLAY"_s, desktop.display()},
                            {u"XDG_RUNTIME_DIR"_s, kestrinRuntime.path()},
                            {u"XDG_SESSION_TYPE"_s, u"wayland"_s},
                            {u"CORVANE_SUPPRESS_WELCOME"_s, u"1"_s},
                            {u"DBUS_SESSION_BUS_ADDRESS"_s, bus.address()},
                            {u"QT_LOGGING_RULES"_s, u"kestrin.tray.info=true"_s},
                            {u"LSAN_OPTIONS"_s, u"suppressions=" REPO_ROOT
                                                "/desktop/tests/support/fixtures/wayland-leaks.supp"_s},
                        },
                        {});
        const QString pid = QString::number(kestrin.process().processId());
        const DesktopSpeed goals = DesktopSpeed::goals();
        QTRY_VERIFY_WITH_TIMEOUT(!listener.registered.isEmpty(), 15000);
        qInfo("launch to icon registered: %lld ms", listener.firstAt);
        QVERIFY(listener.firstAt < goals.launchToIconMs);
        const QString item = listener.registered.first().section(u'/', 0, 0);
        QVERIFY2(item.startsWith(u"org.kde.StatusNotifierItem-%1-"_s.arg(pid)), qPrintable(item));
        QTest::qWait(1000); // in the bar
        QVERIFY(desktop.photograph(u"desktop-sway-waybar"_s));

        // waybar passes a click on the icon as Activate at the pointer; none of its own windows show.
        const auto activate = [&] {
            return client.call(QDBusMessage::createMethodCall(item, u"/StatusNotifierItem"_s,
                                                              u"org.kde.StatusNotifierItem"_s, u"Activate"_s)
                               << 1262 << 14);
        };
        const std::optional<QList<QRect>> none = QList<QRect>{};
        QVERIFY(desktop.floatingWindows(u"com.mossgate.corvane.mac"_s) == none);
        QCOMPARE(activate().type(), QDBusMessage::ReplyMessage);
        const int toPanel = kestrin.clickToPanelMs();
        QVERIFY2(toPanel >= 0, qPrintable(kestrin.output().right(3000)));
        qInfo("click to panel painted: %d ms", toPanel);
        QVERIFY(toPanel < goals.clickToPanelMs);
        QList<QRect> panels;
        QTRY_VERIFY_WITH_TIMEOUT(
            (panels = desktop.floatingWindows(u"com.mossgate.corvane.mac"_s).value_or(QList<QRect>{}))
                    .size() == 1,
            5000);
        QVERIFY2(QRect(0, 0, 1280, 800).contains(panels.first()), qPrintable(kestrin.output().right(3000)));
        QTest::qWait(500); // drawn
        QVERIFY(desktop.photograph(u"desktop-sway-waybar-panel"_s));

        // A second click closes it.
        QCOMPARE(activate().type(), QDBusMessage::ReplyMessage);
        QTRY_VERIFY_WITH_TIMEOUT(desktop.floatingWindows(u"com.mossgate.corvane.mac"_s) == none, 5000);

        kestrin.terminate();
        QVERIFY(kestrin.process().waitForFinished(15000));
        kestrin.drain();
        QVERIFY2(kestrin.process().exitCode() == 0, qPrintable(kestrin.output().right(3000)));
        QVERIFY(portIsFree(port));
    }
};

QTEST_GUILESS_MAIN(TestWaylandDesktop)
#include "tst_WaylandDesktop.moc"
