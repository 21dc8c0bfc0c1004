// How git gets installed on Linux: through a stand-in PackageKit on a private bus (the resolve, the
// install, and each way either of them ends), through a stand-in software centre when PackageKit is not
// on the bus, and not at all when there is neither.

#include "support/PrivateBus.h"

#include <corvane/welcome/DeveloperToolsWords.h>

#include <corvane/PackageKitDeveloperTools.h>
#include <corvane/PackageKitInstall.h>

#include <QCoreApplication>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <qcorotask.h>

#include <csignal>
#include <memory>
#include <utility>
#include <vector>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(DeveloperToolsInstaller)
Q_DECLARE_METATYPE(std::optional<uint>)

namespace {

const QString gitId = u"git;1:2.39.5-0+deb12u2;amd64;debian-stable-main"_s;

// What the stand-in PackageKit does, and what it was asked.
struct PackageKitScript {
    QStringList found;                // the packages a resolve names
    std::optional<uint> resolveError; // the error code a resolve fails with
    QStringList refused;              // methods answered with an error
    QList<std::pair<QString, QVariantList>> calls;

    QStringList methods() const {
        QStringList names;
        for (const auto& [method, arguments] : calls)
            names.append(method);
        return names;
    }
    QVariantList argumentsOf(const QString& method) const {
        for (const auto& [name, arguments] : calls)
            if (name == method)
                return arguments;
        return {};
    }
};

// A transaction of the stand-in: a resolve answers on its own, an install is held open until the test
// ends it with one of the signals.
class StandInTransaction : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.PackageKit.Transaction")
public:
    explicit StandInTransaction(PackageKitScript& script)
        : m_script(script) {}

public Q_SLOTS:
    void SetHints(const QStringList& hints) { take(u"SetHints"_s, {hints}); }
    void Resolve(qulonglong filter, const QStringList& names) {
        if (!take(u"Resolve"_s, {filter, names}))
            return;
        // After the answer, as PackageKit's backends work after it.
        QTimer::singleShot(0, this, [this] {
            for (const QString& id : std::as_const(m_script.found))
                Q_EMIT Package(2, id, u"fast, scalable, distributed revision control system"_s); // available
            if (m_script.resolveError)
                Q_EMIT ErrorCode(*m_script.resolveError, u"The resolve failed"_s);
            Q_EMIT Finished(m_script.resolveError ? 2 : 1, 12); // failed or success
            Q_EMIT Destroy();
        });
    }
    void InstallPackages(qulonglong flags, const QStringList& packageIds) {
        take(u"InstallPackages"_s, {flags, packageIds});
    }

Q_SIGNALS:
    void Package(uint info, const QString& packageId, const QString& summary);
    void ErrorCode(uint code, const QString& details);
    void Finished(uint exit, uint runtime);
    void Destroy();

private:
    bool take(const QString& method, const QVariantList& arguments) {
        m_script.calls.append({method, arguments});
        if (!m_script.refused.contains(method))
            return true;
        sendErrorReply(u"org.freedesktop.PackageKit.Transaction.Refused"_s, method + u" refused"_s);
        return false;
    }

    PackageKitScript& m_script;
};

// PackageKit's daemon object, served on the bus for as long as it lives.
class StandInPackageKit : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.PackageKit")
public:
    PackageKitScript script;
    std::vector<std::unique_ptr<StandInTransaction>> transactions;

    explicit StandInPackageKit(QDBusConnection bus)
        : m_bus(std::move(bus)) {
        served =
            m_bus.registerObject(PackageKitInstall::path.toString(), this, QDBusConnection::ExportAllSlots) &&
            m_bus.registerService(PackageKitInstall::service.toString());
    }
    ~StandInPackageKit() override {
        leave();
        m_bus.unregisterObject(PackageKitInstall::path.toString());
        for (std::size_t i = 0; i < transactions.size(); ++i)
            m_bus.unregisterObject(pathOf(i));
    }
    void leave() { m_bus.unregisterService(PackageKitInstall::service.toString()); }
    bool served = false;

public Q_SLOTS:
    QDBusObjectPath CreateTransaction() {
        script.calls.append({u"CreateTransaction"_s, {}});
        if (script.refused.contains(u"CreateTransaction"_s)) {
            sendErrorReply(u"org.freedesktop.PackageKit.Denied"_s, u"No transaction"_s);
            return {};
        }
        const QString path = pathOf(transactions.size());
        transactions.push_back(std::make_unique<StandInTransaction>(script));
        m_bus.registerObject(path, transactions.back().get(),
                             QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals);
        return QDBusObjectPath(path);
    }

private:
    static QString pathOf(std::size_t index) { return u"/%1_standin"_s.arg(index + 1); }

    QDBusConnection m_bus;
};

// Whether a process of this id lives: not gone, and not a zombie waiting for its parent.
bool alive(qint64 pid) {
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
}

// The process id a stand-in wrote into `path`, or 0 while there is none.
qint64 pidIn(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
}

// A software centre that does what GNOME Software and KDE Discover do: it hands the request to an
// instance of itself, starting one if need be, and exits at once. The instance runs until it is killed.
// Its name is this test's own, so no other run's instance is taken for it.
class StandInSoftwareCentre {
public:
    StandInSoftwareCentre() {
        QFile script(program());
        if (script.open(QIODevice::WriteOnly))
            script.write("#!/bin/sh\n"
                         "dir=$(dirname \"$0\")\n"
                         "if [ \"$1\" = --instance ]; then\n"
                         "    echo $$ > \"$dir/instance\"\n"
                         "    mkfifo \"$dir/hold\" && exec 3<>\"$dir/hold\" && read -r _ <&3\n"
                         "    exit 0\n"
                         "fi\n"
                         "echo \"$@\" > \"$dir/asked\"\n"
                         "\"$0\" --instance &\n"
                         "echo $$ > \"$dir/handed-off\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ~StandInSoftwareCentre() { close(); }
    StandInSoftwareCentre(const StandInSoftwareCentre&) = delete;
    StandInSoftwareCentre& operator=(const StandInSoftwareCentre&) = delete;

    QString program() const {
        return m_folder.filePath(u"centre-%1"_s.arg(QCoreApplication::applicationPid()));
    }
    PackageKitDeveloperTools::SoftwareCentre centre() const { return {program(), {u"--search"_s, u"git"_s}}; }
    QString path(const QString& name) const { return m_folder.filePath(name); }
    QString asked() const {
        QFile file(path(u"asked"_s));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll().trimmed()) : QString();
    }
    // The instance's process id while it runs, or 0.
    qint64 instance() const {
        const qint64 pid = pidIn(path(u"instance"_s));
        return pid != 0 && alive(pid) ? pid : 0;
    }
    // Ends the instance, as closing the software centre's window would; whether there was one.
    bool close() {
        const qint64 pid = std::exchange(m_instanceLeft, false) ? instance() : 0;
        return pid != 0 && ::kill(static_cast<pid_t>(pid), SIGTERM) == 0;
    }

private:
    QTemporaryDir m_folder;
    bool m_instanceLeft = true; // its process id is not taken again once ended: another may have it
};

} // namespace

class TestPackageKitDeveloperTools : public QObject {
    Q_OBJECT

    PrivateBus m_bus;

    QDBusConnection kestrin() const { return m_bus.connect(u"kestrin"_s); }
    QDBusConnection packageKitSide() const { return m_bus.connect(u"packagekit"_s); }

    // Returns once everything the stand-in has sent so far has been handled here: the answer to a
    // question asked now comes after all of it.
    void roundTrip() const {
        QDBusPendingCallWatcher answer(kestrin().asyncCall(QDBusMessage::createMethodCall(
            PackageKitInstall::service.toString(), PackageKitInstall::path.toString(),
            u"org.freedesktop.DBus.Introspectable"_s, u"Introspect"_s)));
        QSignalSpy answered(&answer, &QDBusPendingCallWatcher::finished);
        QTRY_COMPARE(answered.count(), 1);
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(!m_bus.address().isEmpty(), "dbus-daemon is installed by scripts/bootstrap");
    }

    // PackageKit first, running or started by the bus when called; else the software centre; else none.
    void theInstallerFound_data() {
        QTest::addColumn<QString>("packageKit");
        QTest::addColumn<bool>("softwareCentre");
        QTest::addColumn<DeveloperToolsInstaller>("expected");
        using enum DeveloperToolsInstaller;
        QTest::newRow("PackageKit running, a software centre too") << u"running"_s << true << packageKit;
        QTest::newRow("PackageKit started by the bus") << u"activatable"_s << false << packageKit;
        QTest::newRow("no PackageKit, a software centre") << u"none"_s << true << softwareCentre;
        QTest::newRow("neither") << u"none"_s << false << none;
    }
    void theInstallerFound() {
        QFETCH(QString, packageKit);
        QFETCH(bool, softwareCentre);
        QFETCH(DeveloperToolsInstaller, expected);
        std::unique_ptr<StandInPackageKit> running;
        if (packageKit == u"running"_s) {
            running = std::make_unique<StandInPackageKit>(packageKitSide());
            QVERIFY(running->served);
        }
        // A bus of its own, told where PackageKit's service file is (dbus-daemon reads XDG_DATA_HOME).
        QTemporaryDir data;
        std::unique_ptr<PrivateBus> activating;
        if (packageKit == u"activatable"_s) {
            QVERIFY(QDir(data.path()).mkpath(u"dbus-1/services"_s));
            QFile service(data.filePath(u"dbus-1/services/org.freedesktop.PackageKit.service"_s));
            QVERIFY(service.open(QIODevice::WriteOnly));
            service.write("[D-BUS Service]\nName=org.freedesktop.PackageKit\nExec=/bin/false\n");
            service.close();
            const QByteArray before = qgetenv("XDG_DATA_HOME");
            qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
            activating = std::make_unique<PrivateBus>();
            before.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", before);
            QVERIFY(!activating->address().isEmpty());
        }
        StandInSoftwareCentre centre;
        PackageKitDeveloperTools tools(u"/nonexistent"_s,
                                       softwareCentre ? std::optional(centre.centre()) : std::nullopt,
                                       activating ? activating->connect(u"kestrin-activating"_s) : kestrin());
        QCOMPARE(QCoro::waitFor(tools.check()), DeveloperToolsStatus::missing);
        QCOMPARE(tools.installer(), expected);
        if (activating)
            QDBusConnection::disconnectFromBus(u"kestrin-activating"_s);

        // With neither, an install starts nothing and nothing runs.
        if (expected == DeveloperToolsInstaller::none) {
            QCoro::waitFor(tools.install());
            QCOMPARE(tools.installer(), DeveloperToolsInstaller::none);
            QVERIFY(!tools.installerRunning());
        }
    }

    // A resolve that finds git, then an install of what it found, trusted packages only and with the
    // password asked for; the install runs for as long as PackageKit holds its transaction open. The
    // software centre is not opened.
    void anInstallRunsUntilPackageKitEndsIt_data() {
        QTest::addColumn<QString>("ending");
        QTest::newRow("finished") << u"Finished"_s;
        QTest::newRow("an error, before Finished") << u"ErrorCode"_s;
        QTest::newRow("the transaction dropped") << u"Destroy"_s;
        QTest::newRow("PackageKit gone from the bus") << u"departure"_s;
    }
    void anInstallRunsUntilPackageKitEndsIt() {
        QFETCH(QString, ending);
        StandInPackageKit packageKit(packageKitSide());
        QVERIFY(packageKit.served);
        packageKit.script.found = {gitId};
        StandInSoftwareCentre centre;
        PackageKitDeveloperTools tools(u"/nonexistent"_s, centre.centre(), kestrin());
        QVERIFY(!tools.installerRunning());
        QCoro::waitFor(tools.install());
        QCOMPARE(tools.installer(), DeveloperToolsInstaller::packageKit);
        QVERIFY(tools.installerRunning());
        QTRY_VERIFY(packageKit.script.methods().contains(u"InstallPackages"_s));

        const PackageKitScript& script = packageKit.script;
        QCOMPARE(script.methods(), (QStringList{u"CreateTransaction"_s, u"Resolve"_s, u"CreateTransaction"_s,
                                                u"SetHints"_s, u"InstallPackages"_s}));
        // PackageKit's bits: not-installed (3), newest (16) and arch (18); only-trusted (1).
        const quint64 filter = (quint64(1) << 3) | (quint64(1) << 16) | (quint64(1) << 18);
        QCOMPARE(script.argumentsOf(u"Resolve"_s), (QVariantList{filter, QStringList{u"git"_s}}));
        QCOMPARE(script.argumentsOf(u"SetHints"_s), (QVariantList{QStringList{u"interactive=true"_s}}));
        QCOMPARE(script.argumentsOf(u"InstallPackages"_s),
                 (QVariantList{quint64(1) << 1, QStringList{gitId}}));
        QCOMPARE(packageKit.transactions.size(), std::size_t(2));

        // A late word from the resolve, long over, and the install's progress change nothing.
        StandInTransaction& install = *packageKit.transactions.back();
        Q_EMIT packageKit.transactions.front()->ErrorCode(4, u"internal-error"_s);
        Q_EMIT install.Package(10, gitId, u"downloading"_s);
        roundTrip();
        QVERIFY(tools.installerRunning());
        if (ending == u"Finished"_s)
            Q_EMIT install.Finished(1, 4200);
        else if (ending == u"ErrorCode"_s)
            Q_EMIT install.ErrorCode(48, u"Authorization failed"_s); // not-authorized
        else if (ending == u"Destroy"_s)
            Q_EMIT install.Destroy();
        else
            packageKit.leave();
        QTRY_VERIFY(!tools.installerRunning());
        QCOMPARE(centre.asked(), QString());
    }

    // Nothing to install, a failed resolve, or a refused call: the install ends without installing, and
    // once the grace is over the step says the installer closed.
    void anInstallThatCannotGoOnEnds_data() {
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<std::optional<uint>>("resolveError");
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<QStringList>("methods");
        const QStringList resolved{u"CreateTransaction"_s, u"Resolve"_s};
        QTest::newRow("git not found") << QStringList() << std::optional<uint>() << QStringList() << resolved;
        QTest::newRow("the resolve fails")
            << QStringList{gitId} << std::optional<uint>(8) << QStringList() << resolved; // package-not-found
        QTest::newRow("the resolve refused")
            << QStringList{gitId} << std::optional<uint>() << QStringList{u"Resolve"_s} << resolved;
        QTest::newRow("no transaction")
            << QStringList{gitId} << std::optional<uint>() << QStringList{u"CreateTransaction"_s}
            << QStringList{u"CreateTransaction"_s};
        QTest::newRow("the install refused")
            << QStringList{gitId} << std::optional<uint>() << QStringList{u"InstallPackages"_s}
            << (resolved + QStringList{u"CreateTransaction"_s, u"SetHints"_s, u"InstallPackages"_s});
    }
    void anInstallThatCannotGoOnEnds() {
        QFETCH(QStringList, found);
        QFETCH(std::optional<uint>, resolveError);
        QFETCH(QStringList, refused);
        QFETCH(QStringList, methods);
        StandInPackageKit packageKit(packageKitSide());
        QVERIFY(packageKit.served);
        packageKit.script.found = found;
        packageKit.script.resolveError = resolveError;
        packageKit.script.refused = refused;
        PackageKitDeveloperTools tools(u"/nonexistent"_s, std::nullopt, kestrin());
        QCoro::waitFor(tools.install());
        QVERIFY(tools.installerRunning()); // until PackageKit answers
        QTRY_VERIFY(!tools.installerRunning());
        QCOMPARE(packageKit.script.methods(), methods);

        const auto now = DeveloperTools::Clock::now();
        const DeveloperToolsStage stage =
            DeveloperTools::stage(DeveloperToolsStatus::missing, now - 15s, tools.installerRunning(), now);
        QCOMPARE(stage, DeveloperToolsStage::installerClosed);
        QCOMPARE(DeveloperToolsWords::status(stage, tools.installer()).toString(),
                 u"The installer closed before the tools arrived — install again whenever you’re ready."_s);
    }

    // Without PackageKit the software centre is asked to search for git. It hands that to its running
    // instance and exits at once; the install counts as running for as long as the instance does.
    void theSoftwareCentreRunsAsLongAsItsInstance() {
        StandInSoftwareCentre centre;
        PackageKitDeveloperTools tools(u"/nonexistent"_s, centre.centre(), kestrin());
        QVERIFY(!tools.installerRunning());
        QCoro::waitFor(tools.install());
        QCOMPARE(tools.installer(), DeveloperToolsInstaller::softwareCentre);
        QTRY_COMPARE(centre.asked(), u"--search git"_s);
        QTRY_VERIFY(pidIn(centre.path(u"handed-off"_s)) != 0);
        QTRY_VERIFY(!alive(pidIn(centre.path(u"handed-off"_s))));
        QTRY_VERIFY(centre.instance() != 0);
        QVERIFY(tools.installerRunning());

        QVERIFY(centre.close());
        QTRY_VERIFY(!tools.installerRunning());
    }
};

QTEST_GUILESS_MAIN(TestPackageKitDeveloperTools)
#include "tst_PackageKitDeveloperTools.moc"
