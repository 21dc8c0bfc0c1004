// The welcome's two checks of the system: the developer tools (the rule from a probe, the stage the
// welcome shows and its words for each installer, and the Linux adapter over a system root of the
// test's making) and the protected folders (answers, settling, the stored form, and the adapter listing
// real folders).

#include <corvane/welcome/DeveloperTools.h>
#include <corvane/welcome/DeveloperToolsWords.h>
#include <corvane/welcome/FolderAccess.h>

#include <corvane/ListingFolderAccess.h>
#include <corvane/PackageKitDeveloperTools.h>

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <qcorotask.h>

#include <cerrno>
#include <unistd.h>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(DeveloperToolsStatus)
Q_DECLARE_METATYPE(DeveloperToolsStage)
Q_DECLARE_METATYPE(DeveloperToolsInstaller)
Q_DECLARE_METATYPE(std::optional<int>)
Q_DECLARE_METATYPE(std::optional<std::chrono::system_clock::duration>)
Q_DECLARE_METATYPE(FolderAccessAnswer)
Q_DECLARE_METATYPE(FolderAccessAnswers)

namespace {

using Clock = DeveloperTools::Clock;
const Clock::time_point started = Clock::time_point(1'800'000'000s);

// A system root with git under usr/bin, executable or not.
void makeGit(const QTemporaryDir& root, bool executable) {
    QVERIFY(QDir(root.path()).mkpath(u"usr/bin"_s));
    QFile git(root.filePath(u"usr/bin/git"_s));
    QVERIFY(git.open(QIODevice::WriteOnly));
    QVERIFY(git.setPermissions(executable ? QFile::ReadOwner | QFile::ExeOwner : QFile::ReadOwner));
}

} // namespace

class TestWelcomeChecks : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void developerToolsStatus_data() {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("printed");
        QTest::addColumn<DeveloperToolsStatus>("expected");
        QTest::newRow("git under the folder, line break after it")
            << 0 << u"/Dev\n"_s << DeveloperToolsStatus::ready;
        QTest::newRow("blanks around it") << 0 << u"  /Dev \t"_s << DeveloperToolsStatus::ready;
        QTest::newRow("the system root, as this system reports it")
            << 0 << u"/"_s << DeveloperToolsStatus::ready;
        QTest::newRow("no git there") << 0 << u"/Elsewhere"_s << DeveloperToolsStatus::missing;
        QTest::newRow("a failed probe") << 2 << u"/Dev"_s << DeveloperToolsStatus::missing;
        QTest::newRow("a probe that could not start") << -1 << QString() << DeveloperToolsStatus::missing;
        QTest::newRow("nothing printed") << 0 << QString() << DeveloperToolsStatus::missing;
        QTest::newRow("only blanks") << 0 << u" \n\t"_s << DeveloperToolsStatus::missing;
    }

    void developerToolsStatus() {
        QFETCH(int, exitCode);
        QFETCH(QString, printed);
        QFETCH(DeveloperToolsStatus, expected);
        // git is an executable file only at these places: the folder and "/usr/bin/git" are joined as
        // they are, so the system root gives "//usr/bin/git".
        const auto fileExists = [](const QString& path) {
            return path == u"/Dev/usr/bin/git"_s || path == u"//usr/bin/git"_s;
        };
        QCOMPARE(DeveloperTools::status(exitCode, printed, fileExists), expected);
    }

    void developerToolsStage_data() {
        QTest::addColumn<DeveloperToolsStatus>("status");
        QTest::addColumn<std::optional<Clock::duration>>("startedAgo");
        QTest::addColumn<bool>("installerRunning");
        QTest::addColumn<DeveloperToolsStage>("expected");
        using enum DeveloperToolsStage;
        const auto ago = [](auto duration) {
            return std::optional<Clock::duration>(std::chrono::duration_cast<Clock::duration>(duration));
        };
        QTest::newRow("ready, whatever else") << DeveloperToolsStatus::ready << ago(1h) << false << ready;
        QTest::newRow("ready while installing") << DeveloperToolsStatus::ready << ago(1s) << true << ready;
        QTest::newRow("missing, never started")
            << DeveloperToolsStatus::missing << std::optional<Clock::duration>() << false << missing;
        QTest::newRow("an installer without a start does not count")
            << DeveloperToolsStatus::missing << std::optional<Clock::duration>() << true << missing;
        QTest::newRow("installer running long after the start")
            << DeveloperToolsStatus::missing << ago(2h) << true << installing;
        QTest::newRow("14.9 s after the start, not seen yet")
            << DeveloperToolsStatus::missing << ago(14900ms) << false << installing;
        QTest::newRow("15 s after the start, not running")
            << DeveloperToolsStatus::missing << ago(15s) << false << installerClosed;
    }

    void developerToolsStage() {
        QFETCH(DeveloperToolsStatus, status);
        QFETCH(std::optional<Clock::duration>, startedAgo);
        QFETCH(bool, installerRunning);
        QFETCH(DeveloperToolsStage, expected);
        const std::optional<Clock::time_point> startedAt =
            startedAgo ? std::optional(started - *startedAgo) : std::nullopt;
        QCOMPARE(DeveloperTools::stage(status, startedAt, installerRunning, started), expected);
        QCOMPARE(letsSetupContinue(expected),
                 expected == DeveloperToolsStage::ready || expected == DeveloperToolsStage::installing);
    }

    // What the step asks of the person, and says at each stage, is true of what the tools can be
    // installed with: PackageKit asks for the password, a software centre needs its Install clicked,
    // and with neither the person installs git some other way.
    void developerToolsWords_data() {
        QTest::addColumn<DeveloperToolsInstaller>("installer");
        QTest::addColumn<QString>("whatToClick");
        QTest::addColumn<QStringList>("statuses"); // checking, ready, missing, installing, closed
        const QString checking = u"Checking for the developer tools…"_s;
        const QString ready = u"The developer tools are ready."_s;
        const QString missing = u"The developer tools aren’t installed."_s;
        QTest::newRow("PackageKit")
            << DeveloperToolsInstaller::packageKit
            << u"It installs in the background while you finish setting up. Your system will ask for your "
               u"password to install software — enter it, then carry on."_s
            << QStringList{
                   checking, ready, missing,
                   u"The installer is running — carry on, the light turns green when it’s done."_s,
                   u"The installer closed before the tools arrived — install again whenever you’re ready."_s};
        QTest::newRow("a software centre")
            << DeveloperToolsInstaller::softwareCentre
            << u"Your software centre opens with a search for git — install git from there, then carry on."_s
            << QStringList{
                   checking, ready, missing,
                   u"Waiting for git from your software centre — carry on, the light turns green once "
                   u"it’s installed."_s,
                   u"The software centre closed before git arrived — install again whenever you’re "
                   u"ready."_s};
        QTest::newRow("nothing to install with")
            << DeveloperToolsInstaller::none
            << u"Kestrin can’t install software on this computer — install git with your system’s package "
               u"manager, then the light turns green."_s
            << QStringList{checking, ready,
                           u"The developer tools aren’t installed — install git with your system’s package "
                           u"manager."_s,
                           u"Waiting for git — carry on, the light turns green once it’s installed."_s,
                           u"The install stopped before the tools arrived — install git with your system’s "
                           u"package manager."_s};
    }

    void developerToolsWords() {
        QFETCH(DeveloperToolsInstaller, installer);
        QFETCH(QString, whatToClick);
        QFETCH(QStringList, statuses);
        QCOMPARE(DeveloperToolsWords::whatToClick(installer).toString(), whatToClick);
        QStringList said;
        using enum DeveloperToolsStage;
        for (const DeveloperToolsStage stage : {checking, ready, missing, installing, installerClosed})
            said.append(DeveloperToolsWords::status(stage, installer).toString());
        QCOMPARE(said, statuses);
    }

    // The adapter looks at git under its system root, whatever DEVELOPER_DIR says.
    void theAdapterFindsGitUnderTheSystemRoot() {
        QTemporaryDir root;
        qputenv("DEVELOPER_DIR", "/nowhere");
        PackageKitDeveloperTools tools(root.path(), std::nullopt, QDBusConnection(u"no bus"_s));
        QCOMPARE(QCoro::waitFor(tools.check()), DeveloperToolsStatus::missing);
        makeGit(root, false);
        QCOMPARE(QCoro::waitFor(tools.check()), DeveloperToolsStatus::missing); // not executable
        makeGit(root, true);
        QCOMPARE(QCoro::waitFor(tools.check()), DeveloperToolsStatus::ready);
        qunsetenv("DEVELOPER_DIR");
    }

    void folderAnswers_data() {
        QTest::addColumn<std::optional<int>>("error");
        QTest::addColumn<FolderAccessAnswer>("expected");
        QTest::newRow("listed") << std::optional<int>() << FolderAccessAnswer::allowed;
        QTest::newRow("no such folder") << std::optional(ENOENT) << FolderAccessAnswer::absent;
        QTest::newRow("no permission") << std::optional(EACCES) << FolderAccessAnswer::denied;
        QTest::newRow("not permitted") << std::optional(EPERM) << FolderAccessAnswer::denied;
        QTest::newRow("not a folder") << std::optional(ENOTDIR) << FolderAccessAnswer::denied;
    }

    void folderAnswers() {
        QFETCH(std::optional<int>, error);
        QFETCH(FolderAccessAnswer, expected);
        QCOMPARE(FolderAccess::answer(error), expected);
    }

    void folderAccessSettles_data() {
        QTest::addColumn<FolderAccessAnswers>("answers");
        QTest::addColumn<bool>("declined");
        QTest::addColumn<bool>("settled");
        using enum ProtectedFolder;
        const FolderAccessAnswers all{{desktop, FolderAccessAnswer::denied},
                                      {documents, FolderAccessAnswer::absent},
                                      {downloads, FolderAccessAnswer::allowed}};
        FolderAccessAnswers twoOfThree = all;
        twoOfThree.remove(downloads);
        QTest::newRow("every folder answered, whatever the answers") << all << false << true;
        QTest::newRow("one folder left") << twoOfThree << false << false;
        QTest::newRow("nothing asked") << FolderAccessAnswers() << false << false;
        QTest::newRow("declined") << FolderAccessAnswers() << true << true;
    }

    void folderAccessSettles() {
        QFETCH(FolderAccessAnswers, answers);
        QFETCH(bool, declined);
        QFETCH(bool, settled);
        QCOMPARE(FolderAccess::isSettled(answers, declined), settled);
    }

    void storedAnswersSurviveAndJunkIsSkipped() {
        using enum ProtectedFolder;
        const QVariantMap stored{{u"desktop"_s, u"allowed"_s},
                                 {u"pictures"_s, u"allowed"_s},
                                 {u"documents"_s, u"maybe"_s},
                                 {u"downloads"_s, 3},
                                 {u"Desktop"_s, u"denied"_s}};
        QCOMPARE(FolderAccess::answers(stored),
                 (FolderAccessAnswers{{desktop, FolderAccessAnswer::allowed}}));
        QCOMPARE(FolderAccess::stored({}), QVariantMap());
        const FolderAccessAnswers all{{desktop, FolderAccessAnswer::denied},
                                      {documents, FolderAccessAnswer::absent},
                                      {downloads, FolderAccessAnswer::allowed}};
        QCOMPARE(FolderAccess::stored(all), (QVariantMap{{u"desktop"_s, u"denied"_s},
                                                         {u"documents"_s, u"absent"_s},
                                                         {u"downloads"_s, u"allowed"_s}}));
        QCOMPARE(FolderAccess::answers(FolderAccess::stored(all)), all);
    }

    void folderPaths() {
        QCOMPARE(ProtectedFolders::path(ProtectedFolder::downloads, u"/home/me"_s), u"/home/me/Downloads"_s);
        QCOMPARE(ProtectedFolders::path(ProtectedFolder::desktop, u"/home/me/"_s), u"/home/me//Desktop"_s);
    }

    // The adapter lists real folders: one that is there, one that is not, and one it may not read
    // (unless the test runs as root, which reads everything).
    void theAdapterListsTheFolders() {
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkpath(u"Desktop/project"_s));
        QVERIFY(QDir(home.path()).mkpath(u"Documents"_s));
        QVERIFY(QFile::setPermissions(home.filePath(u"Documents"_s), QFile::WriteOwner));
        ListingFolderAccess access(home.path());
        QCOMPARE(QCoro::waitFor(access.ask(ProtectedFolder::desktop)), FolderAccessAnswer::allowed);
        QCOMPARE(QCoro::waitFor(access.ask(ProtectedFolder::downloads)), FolderAccessAnswer::absent);
        QCOMPARE(QCoro::waitFor(access.ask(ProtectedFolder::documents)),
                 ::geteuid() == 0 ? FolderAccessAnswer::allowed : FolderAccessAnswer::denied);
        QCOMPARE(ListingFolderAccess::listingError(home.filePath(u"Desktop/project/none"_s)),
                 std::optional(ENOENT));
        QFile file(home.filePath(u"Desktop/file"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(ListingFolderAccess::listingError(file.fileName()), std::optional(ENOTDIR));
        QVERIFY(QFile::setPermissions(home.filePath(u"Documents"_s),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
};

QTEST_GUILESS_MAIN(TestWelcomeChecks)
#include "tst_WelcomeChecks.moc"
