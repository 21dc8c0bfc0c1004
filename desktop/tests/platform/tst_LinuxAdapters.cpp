// The Linux adapters of the platform services: settings in an INI file, start-at-login through an XDG
// autostart entry, and keep-awake through D-Bus inhibitors (logind and the screensaver, played by
// objects on a private bus).

#include "support/PrivateBus.h"
#include "support/TestSupport.h"

#include <corvane/InhibitorSleepAssertions.h>
#include <corvane/SettingsDefaults.h>
#include <corvane/XdgAutostartLoginItem.h>

#include <QDBusConnectionInterface>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <unistd.h>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(LoginItemStatus)

namespace {

void writeFile(const QString& path, const QByteArray& content, QFile::Permissions permissions = {}) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    if (permissions)
        file.setPermissions(permissions);
}

constexpr auto executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// desktop-file-validate accepts the entry without a word, not even a hint.
void acceptedByTheDesktopTools(const QString& entry) {
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    QVERIFY2(!validator.isEmpty(), "desktop-file-validate is installed by scripts/bootstrap");
    QProcess validate;
    validate.start(validator, {entry});
    QVERIFY(validate.waitForFinished());
    QVERIFY2(validate.exitCode() == 0, validate.readAllStandardOutput().constData());
    QCOMPARE(validate.readAllStandardOutput(), QByteArray());
}

} // namespace

class TestSettingsDefaults : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keepsEveryChangeOnDisk() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Kestrin/Kestrin.conf"_s);
        {
            SettingsDefaults defaults(path);
            QCOMPARE(defaults.string(u"networkPreference"_s), std::nullopt);
            defaults.setString(u"networkPreference"_s, u"home-network"_s);
            // Written through before this object is gone.
            QVERIFY(contentOf(path).contains("networkPreference=home-network"));
        }
        const SettingsDefaults reopened(path);
        QCOMPARE(reopened.string(u"networkPreference"_s), u"home-network"_s);
    }
};

class TestXdgAutostartLoginItem : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString entryPath() const { return m_dir.filePath(u"autostart/com.mossgate.corvane.mac.desktop"_s); }
    QString programPath() const { return m_dir.filePath(u"Kestrin 2 \"β\" $HOME 100%/kestrin"_s); }

private Q_SLOTS:
    void init() {
        QVERIFY(QDir(m_dir.path()).mkpath(QFileInfo(programPath()).absolutePath()));
        writeFile(programPath(), "#!/bin/sh\n", executable);
        QFile::remove(entryPath());
    }

    void registersThisCopyAndUnregisters() {
        XdgAutostartLoginItem item(entryPath(), programPath());
        QCOMPARE(item.status(), LoginItemStatus::notRegistered);
        QVERIFY(item.registerItem().has_value());
        QCOMPARE(item.status(), LoginItemStatus::enabled);
        // The entry names this very program, quotes, "$", "%" and all: without it, it is not found.
        QVERIFY(QFile::rename(programPath(), programPath() + u".moved"_s));
        QCOMPARE(item.status(), LoginItemStatus::notFound);
        QVERIFY(QFile::rename(programPath() + u".moved"_s, programPath()));
        QVERIFY(item.unregisterItem().has_value());
        QVERIFY(!QFile::exists(entryPath()));
        QCOMPARE(item.status(), LoginItemStatus::notRegistered);
        QVERIFY(item.unregisterItem().has_value()); // nothing to remove is no failure
    }

    void writesAnEntryTheDesktopToolsAccept() {
        XdgAutostartLoginItem item(entryPath(), programPath());
        QVERIFY(item.registerItem().has_value());
        acceptedByTheDesktopTools(entryPath());
    }

    // The application folder's own desktop entry, which menus and the Debian package use.
    void theApplicationsEntryIsAcceptedToo() {
        acceptedByTheDesktopTools(QStringLiteral(REPO_ROOT "/packaging/kestrin.desktop"));
    }

    void judgesEntriesOnDisk_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<LoginItemStatus>("status");
        QTest::newRow("hidden")
            << "[Desktop Entry]\nType=Application\nName=Kestrin\nExec=/bin/sh\nHidden=true\n"_ba
            << LoginItemStatus::notRegistered;
        QTest::newRow("program gone")
            << "[Desktop Entry]\nType=Application\nName=Kestrin\nExec=/nowhere/kestrin\n"_ba
            << LoginItemStatus::notFound;
        QTest::newRow("no Exec") << "[Desktop Entry]\nType=Application\nName=Kestrin\n"_ba
                                 << LoginItemStatus::notFound;
        QTest::newRow("Exec outside the main group")
            << "[Desktop Action x]\nExec=/bin/sh\n[Desktop Entry]\nName=Kestrin\n"_ba
            << LoginItemStatus::notFound;
        QTest::newRow("an unquoted program with arguments")
            << "[Desktop Entry]\nType=Application\nName=Kestrin\nExec=/bin/sh --headless\n"_ba
            << LoginItemStatus::enabled;
    }

    void judgesEntriesOnDisk() {
        QFETCH(QByteArray, entry);
        QFETCH(LoginItemStatus, status);
        QVERIFY(QDir().mkpath(QFileInfo(entryPath()).absolutePath()));
        writeFile(entryPath(), entry);
        QCOMPARE(XdgAutostartLoginItem(entryPath(), programPath()).status(), status);
    }

    void aFolderThatCannotBeMadeIsAWordedFailure() {
        writeFile(m_dir.filePath(u"blocker"_s), "not a folder");
        XdgAutostartLoginItem item(m_dir.filePath(u"blocker/autostart/kestrin.desktop"_s), programPath());
        const auto outcome = item.registerItem();
        QVERIFY(!outcome);
        QVERIFY(outcome.error().contains(u"could not be created"_s));
    }
};

// logind's manager and the session's screensaver, as far as keep-awake uses them.
class FakeLogind : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    int writeEnd = -1;
    QStringList calls;

public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode) {
        calls.append(QStringList{what, who, why, mode}.join(u'|'));
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return {};
        writeEnd = fds[1];
        QDBusUnixFileDescriptor readEnd(fds[0]); // a copy
        ::close(fds[0]);
        return readEnd;
    }
};

class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    std::atomic<int> held{0}; // answered on the service thread, read by the test

public Q_SLOTS:
    uint Inhibit(const QString&, const QString&) {
        ++held;
        return 42;
    }
    void UnInhibit(uint cookie) {
        if (cookie == 42)
            --held;
    }
};

class TestInhibitorSleepAssertions : public QObject {
    Q_OBJECT

    std::optional<PrivateBus> m_bus;
    QString m_address;
    QThread m_serviceThread;

    // A connection on the private bus that owns `service` and answers for `object` from another thread,
    // since the adapter's calls block the thread they are made on.
    void serve(const QString& name, const QString& service, const QString& path, QObject* object) {
        QDBusConnection connection = QDBusConnection::connectToBus(m_address, name);
        QVERIFY(connection.isConnected());
        object->moveToThread(&m_serviceThread);
        QVERIFY(connection.registerObject(path, object, QDBusConnection::ExportAllSlots));
        QVERIFY(connection.registerService(service));
    }

    static bool readersRemain(int writeEnd) {
        pollfd poll{.fd = writeEnd, .events = POLLOUT, .revents = 0};
        ::poll(&poll, 1, 0);
        return (poll.revents & POLLERR) == 0;
    }

private Q_SLOTS:
    void initTestCase() {
        m_bus.emplace();
        m_address = m_bus->address();
        QVERIFY2(!m_address.isEmpty(), "dbus-daemon is installed by scripts/bootstrap");
        m_serviceThread.start();
    }

    void cleanupTestCase() {
        m_serviceThread.quit();
        m_serviceThread.wait();
        m_bus.reset();
    }

    void withoutAnyBusHoldsNothingAndNeverFails() {
        const QDBusConnection none(u"no bus"_s);
        InhibitorSleepAssertions assertions(none, none);
        auto activity = assertions.begin(u"Kestrin is in use"_s);
        QVERIFY(activity != nullptr);
        assertions.end(std::move(activity));
    }

    void holdsLogindsIdleInhibitorUntilEnded() {
        FakeLogind logind;
        serve(u"logind"_s, u"org.freedesktop.login1"_s, u"/org/freedesktop/login1"_s, &logind);
        InhibitorSleepAssertions assertions(QDBusConnection::connectToBus(m_address, u"system client"_s),
                                            QDBusConnection(u"no bus"_s));
        auto activity = assertions.begin(u"Kestrin is in use"_s);
        QCOMPARE(logind.calls, QStringList{u"idle|Kestrin|Kestrin is in use|block"_s});
        QVERIFY(logind.writeEnd >= 0);
        // D-Bus may hold passing copies of the descriptor for a moment; after that, only ours remains.
        QTest::qWait(200);
        QVERIFY(readersRemain(logind.writeEnd));
        assertions.end(std::move(activity));
        QTRY_VERIFY(!readersRemain(logind.writeEnd));
        ::close(logind.writeEnd);
        QDBusConnection::connectToBus(m_address, u"logind"_s).unregisterService(u"org.freedesktop.login1"_s);
    }

    void fallsBackToTheScreenSaver() {
        FakeScreenSaver screenSaver;
        serve(u"screensaver"_s, u"org.freedesktop.ScreenSaver"_s, u"/org/freedesktop/ScreenSaver"_s,
              &screenSaver);
        // A system bus without logind on it, then the session's screensaver.
        const QDBusConnection bus = QDBusConnection::connectToBus(m_address, u"client"_s);
        InhibitorSleepAssertions assertions(bus, bus);
        auto activity = assertions.begin(u"Kestrin is in use"_s);
        QCOMPARE(screenSaver.held.load(), 1);
        assertions.end(std::move(activity));
        QTRY_COMPARE(screenSaver.held.load(), 0);
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TestSettingsDefaults defaults;
    TestXdgAutostartLoginItem loginItem;
    TestInhibitorSleepAssertions keepAwake;
    return QTest::qExec(&defaults, argc, argv) | QTest::qExec(&loginItem, argc, argv) |
           QTest::qExec(&keepAwake, argc, argv);
}

#include "tst_LinuxAdapters.moc"
