#include <corvane/supervision/AppsPath.h>
#include <corvane/supervision/BundledServer.h>
#include <corvane/supervision/NetworkPreference.h>
#include <corvane/supervision/PlanBuilder.h>
#include <corvane/supervision/ServerLog.h>

#include <QSet>
#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(corvane::Environment)
Q_DECLARE_METATYPE(std::optional<corvane::LoginShellPathResult>)
Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

const QString home = u"/home/p"_s;
const QString bundle = u"/opt/Kestrin"_s;
const QString bundleNode = u"/opt/Kestrin/Contents/Helpers/node"_s;
const QString bundleEntry = u"/opt/Kestrin/Contents/Resources/server/dist/index.js"_s;
const QString checkoutEntry = u"/src/k/apps/server/dist/index.js"_s;

// A pretend file system: the paths that exist.
struct Files {
    QSet<QString> files;
    QSet<QString> folders;
    QSet<QString> executables;
};

PlanBuilder::Inputs inputsWith(const Files& fs, Environment environment = {}) {
    return PlanBuilder::Inputs{
        .environment = std::move(environment),
        .bundledServer =
            BundledServer::locate(bundle, [fs](const QString& p) { return fs.files.contains(p); }),
        .bundledRepoRoot = std::nullopt,
        .home = home,
        .networkPreference = NetworkPreference::thisComputerOnly,
        .localAdminSecret = std::nullopt,
        .locator = ToolLocator{[fs](const QString& p) { return fs.executables.contains(p); }},
        .loginShell = std::nullopt,
        .directoryExists = [fs](const QString& p) { return fs.folders.contains(p); },
        .fileExists = [fs](const QString& p) { return fs.files.contains(p); },
    };
}

const Files everything{
    .files = {bundleNode, bundleEntry, checkoutEntry}, .folders = {}, .executables = {u"/usr/bin/node"_s}};

LocalAdminSecret zeroSecret() {
    return *LocalAdminSecret::fromHex(QString(64, u'0'));
}

} // namespace

class TestPlanBuilder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bundledPlanHasTheWholeShape() {
        Environment environment{{u"USER"_s, u"p"_s},
                                {u"LANG"_s, u""_s},
                                {u"TMPDIR"_s, u"/tmp/p"_s},
                                {u"SECRET_TOKEN"_s, u"x"_s},
                                {u"DISPLAY"_s, u":0"_s}};
        auto inputs = inputsWith(everything, environment);
        inputs.localAdminSecret = zeroSecret();
        const auto plan = PlanBuilder::build(inputs);
        QVERIFY(plan);
        QCOMPARE(plan->executable, bundleNode);
        QCOMPARE(plan->arguments, QStringList{bundleEntry});
        QCOMPARE(plan->workingDirectory, bundle + u"/Contents/Resources/server"_s);
        QCOMPARE(plan->port, 9111);
        QCOMPARE(plan->logFile, std::optional(home + u"/.local/state/Corvane/server.log"_s));
        QCOMPARE(plan->localAdminSecret, std::optional(zeroSecret()));
        const Environment expected{
            {u"USER"_s, u"p"_s},
            {u"TMPDIR"_s, u"/tmp/p"_s},
            {u"BIND_HOST"_s, u"127.0.0.1"_s},
            {u"ALLOW_PUBLIC_BIND"_s, u"false"_s},
            {u"PATH"_s, u"/opt/Kestrin/Contents/Helpers:/home/p/.local/bin:/usr/local/bin:/usr/bin:/bin"_s},
            {u"HOME"_s, home},
            {u"PORT"_s, u"9111"_s},
            {u"CORVANE_SECRETS_ON_STDIN"_s, u"1"_s},
        };
        QCOMPARE(plan->environment, expected);
    }

    void checkoutPlanHasNoLogAndUsesFoundNode() {
        const auto plan = PlanBuilder::build(
            inputsWith(everything, {{u"CORVANE_REPO_ROOT"_s, u"/src/k"_s}, {u"CORVANE_PORT"_s, u"9300"_s}}));
        QVERIFY(plan);
        QCOMPARE(plan->executable, u"/usr/bin/node"_s);
        QCOMPARE(plan->arguments, QStringList{checkoutEntry});
        QCOMPARE(plan->workingDirectory, u"/src/k/apps/server"_s);
        QCOMPARE(plan->logFile, std::nullopt);
        QCOMPARE(plan->port, 9300);
        QCOMPARE(plan->environment.value(u"PORT"_s), u"9300"_s);
        QCOMPARE(plan->environment.value(u"PATH"_s), u"/usr/bin:/home/p/.local/bin:/usr/local/bin:/bin"_s);
        QVERIFY(!plan->environment.contains(u"CORVANE_SECRETS_ON_STDIN"_s));
        QCOMPARE(plan->localAdminSecret, std::nullopt);
    }

    void layoutAndFailures_data() {
        QTest::addColumn<Environment>("environment");
        QTest::addColumn<std::optional<QString>>("bundledRoot");
        QTest::addColumn<int>("filesCase");   // 0 everything, 1 no bundle, 2 bundle without entry, 3 no node
        QTest::addColumn<QString>("outcome"); // the entry script, or the error's words
        const std::optional<QString> none;
        const Environment noEnv;
        QTest::newRow("variable beats bundle")
            << Environment{{u"CORVANE_REPO_ROOT"_s, u"/src/k"_s}} << none << 0 << checkoutEntry;
        QTest::newRow("empty variable uses bundle")
            << Environment{{u"CORVANE_REPO_ROOT"_s, u""_s}} << none << 0 << bundleEntry;
        QTest::newRow("bundle beats bundled root") << noEnv << std::optional(u"/src/k"_s) << 0 << bundleEntry;
        QTest::newRow("bundled root without bundle")
            << noEnv << std::optional(u"/src/k"_s) << 1 << checkoutEntry;
        QTest::newRow("trailing slash removed")
            << Environment{{u"CORVANE_REPO_ROOT"_s, u"/src/k/"_s}} << none << 0 << checkoutEntry;
        QTest::newRow("two trailing slashes keep one")
            << Environment{{u"CORVANE_REPO_ROOT"_s, u"/src/k//"_s}} << none << 0
            << u"The server hasn't been built yet — nothing at /src/k//apps/server/dist/index.js. Run: pnpm "
               u"--filter server build"_s;
        QTest::newRow("nothing to run")
            << Environment{{u"CORVANE_REPO_ROOT"_s, u""_s}} << std::optional(u""_s) << 1
            << u"Kestrin does not know where your code is yet. Set CORVANE_REPO_ROOT "
               u"to your checkout."_s;
        QTest::newRow("checkout not built")
            << Environment{{u"CORVANE_REPO_ROOT"_s, u"/src/other"_s}} << none << 0
            << u"The server hasn't been built yet — nothing at "
               u"/src/other/apps/server/dist/index.js. Run: pnpm --filter server "
               u"build"_s;
        QTest::newRow("no node for checkout")
            << Environment{{u"CORVANE_REPO_ROOT"_s, u"/src/k"_s}} << none << 3
            << u"Node isn't installed anywhere Kestrin looked: /opt/homebrew/bin/node, /usr/local/bin/node, "
               u"/usr/bin/node."_s;
    }
    void layoutAndFailures() {
        QFETCH(Environment, environment);
        QFETCH(std::optional<QString>, bundledRoot);
        QFETCH(int, filesCase);
        QFETCH(QString, outcome);
        Files fs = everything;
        if (filesCase == 1)
            fs.files.remove(bundleEntry);
        if (filesCase == 3)
            fs.executables.clear();
        auto inputs = inputsWith(fs, environment);
        inputs.bundledRepoRoot = bundledRoot;
        const auto plan = PlanBuilder::build(inputs);
        QCOMPARE(plan ? plan->arguments.first() : plan.error().message(), outcome);
    }

    // A bundle found at start can lose a file before the plan is made.
    void damagedBundle_data() {
        QTest::addColumn<QString>("missing");
        QTest::newRow("node") << bundleNode;
        QTest::newRow("entry script") << bundleEntry;
    }
    void damagedBundle() {
        QFETCH(QString, missing);
        auto inputs = inputsWith(everything);
        Files fs = everything;
        fs.files.remove(missing);
        inputs.fileExists = [fs](const QString& p) { return fs.files.contains(p); };
        const auto plan = PlanBuilder::build(inputs);
        QVERIFY(!plan);
        QCOMPARE(plan.error(), PlanBuildError(PlanBuildError::BundledServerDamaged{missing}));
        QCOMPARE(
            plan.error().message(),
            u"Part of Kestrin is missing from the app (nothing at %1). Reinstalling the app fixes this."_s
                .arg(missing));
    }

    void environmentOverrides_data() {
        QTest::addColumn<NetworkPreference>("preference");
        QTest::addColumn<Environment>("environment");
        QTest::addColumn<Environment>("expected"); // entries that must be present with these values
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("home network")
            << NetworkPreference::homeNetwork << Environment{}
            << Environment{{u"BIND_HOST"_s, u"0.0.0.0"_s}, {u"ALLOW_PUBLIC_BIND"_s, u"true"_s}}
            << QStringList{};
        QTest::newRow("pass-through overrides bind address")
            << NetworkPreference::thisComputerOnly
            << Environment{{u"CORVANE_SERVER_BIND_HOST"_s, u"10.0.0.2"_s}}
            << Environment{{u"BIND_HOST"_s, u"10.0.0.2"_s}, {u"ALLOW_PUBLIC_BIND"_s, u"false"_s}}
            << QStringList{};
        QTest::newRow("pass-through overrides session variable")
            << NetworkPreference::thisComputerOnly
            << Environment{{u"USER"_s, u"p"_s}, {u"CORVANE_SERVER_USER"_s, u"q"_s}}
            << Environment{{u"USER"_s, u"q"_s}} << QStringList{};
        QTest::newRow("plan's PORT, PATH and HOME win")
            << NetworkPreference::thisComputerOnly
            << Environment{{u"CORVANE_SERVER_PORT"_s, u"1"_s},
                           {u"CORVANE_SERVER_HOME"_s, u"/elsewhere"_s},
                           {u"CORVANE_SERVER_PATH"_s, u"/evil"_s},
                           {u"CORVANE_SERVER_CORVANE_SECRETS_ON_STDIN"_s, u"1"_s}}
            << Environment{{u"PORT"_s, u"9111"_s}, {u"HOME"_s, home}}
            << QStringList{u"CORVANE_SECRETS_ON_STDIN"_s};
        QTest::newRow("empty session variable not copied")
            << NetworkPreference::thisComputerOnly << Environment{{u"LANG"_s, u""_s}, {u"TZ"_s, u"UTC"_s}}
            << Environment{{u"TZ"_s, u"UTC"_s}} << QStringList{u"LANG"_s};
        QTest::newRow("unrelated variables stay out")
            << NetworkPreference::thisComputerOnly
            << Environment{{u"LD_PRELOAD"_s, u"/x.so"_s}, {u"CORVANE_WRITE_ADMIN_SECRET"_s, u"/tmp/s"_s}}
            << Environment{} << QStringList{u"LD_PRELOAD"_s, u"CORVANE_WRITE_ADMIN_SECRET"_s};
    }
    void environmentOverrides() {
        QFETCH(NetworkPreference, preference);
        QFETCH(Environment, environment);
        QFETCH(Environment, expected);
        QFETCH(QStringList, absent);
        auto inputs = inputsWith(everything, environment);
        inputs.networkPreference = preference;
        const auto plan = PlanBuilder::build(inputs);
        QVERIFY(plan);
        for (auto entry = expected.cbegin(); entry != expected.cend(); ++entry)
            QCOMPARE(plan->environment.value(entry.key()), entry.value());
        QVERIFY(!plan->environment.value(u"PATH"_s).contains(u"/evil"_s));
        for (const QString& name : absent)
            QVERIFY2(!plan->environment.contains(name), qPrintable(name));
    }

    void appsPathInPlan_data() {
        QTest::addColumn<std::optional<LoginShellPathResult>>("loginShell");
        QTest::addColumn<std::optional<QString>>("appsPath");
        const QString serverPath =
            u"/opt/Kestrin/Contents/Helpers:/home/p/.local/bin:/usr/local/bin:/usr/bin:/bin"_s;
        QTest::newRow("not asked") << std::optional<LoginShellPathResult>() << std::optional<QString>();
        QTest::newRow("shell answered")
            << std::optional(LoginShellPathResult::read(u"/home/p/.cargo/bin:/usr/bin:/opt/homebrew/bin"_s))
            << std::optional(u"/home/p/.cargo/bin:/usr/bin:/opt/homebrew/bin:/opt/Kestrin/Contents/Helpers:"
                             u"/home/p/.local/bin:/usr/local/bin:/bin"_s);
        QTest::newRow("shell failed, existing fallbacks appended")
            << std::optional(LoginShellPathResult::failed())
            << std::optional(serverPath + u":/opt/homebrew/bin:/home/p/.bun/bin"_s);
    }
    void appsPathInPlan() {
        QFETCH(std::optional<LoginShellPathResult>, loginShell);
        QFETCH(std::optional<QString>, appsPath);
        Files fs = everything;
        fs.folders = {u"/opt/homebrew/bin"_s, u"/usr/local/bin"_s, u"/home/p/.bun/bin"_s};
        auto inputs = inputsWith(fs);
        inputs.loginShell = loginShell;
        const auto plan = PlanBuilder::build(inputs);
        QVERIFY(plan);
        QCOMPARE(plan->environment.contains(u"CORVANE_APPS_PATH"_s), appsPath.has_value());
        if (appsPath)
            QCOMPARE(plan->environment.value(u"CORVANE_APPS_PATH"_s), *appsPath);
    }

    void searchPath_data() {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QStringList>("tools");
        QTest::addColumn<QString>("path");
        QTest::newRow("node folder first") << u"/opt/node/bin/node"_s << QStringList{u"/h/.local/bin"_s}
                                           << u"/opt/node/bin:/h/.local/bin:/usr/local/bin:/usr/bin:/bin"_s;
        QTest::newRow("repeats dropped")
            << u"/usr/bin/node"_s << QStringList{u"/usr/local/bin"_s} << u"/usr/bin:/usr/local/bin:/bin"_s;
        QTest::newRow("node directly under the root")
            << u"/node"_s << QStringList{} << u"/:/usr/local/bin:/usr/bin:/bin"_s;
        QTest::newRow("no slash, empty tools dropped")
            << u"node"_s << QStringList{u""_s} << u"/usr/local/bin:/usr/bin:/bin"_s;
    }
    void searchPath() {
        QFETCH(QString, node);
        QFETCH(QStringList, tools);
        QFETCH(QString, path);
        QCOMPARE(ServerLaunchPlan::searchPath(node, tools), path);
    }

    void appsPathForApps_data() {
        QTest::addColumn<LoginShellPathResult>("loginShell");
        QTest::addColumn<QString>("serverPath");
        QTest::addColumn<QString>("appsPath");
        QTest::newRow("shell entries first, no repeats")
            << LoginShellPathResult::read(u"/a:/b::/a"_s) << u"/b:/c::"_s << u"/a:/b:/c"_s;
        QTest::newRow("failed: only existing fallbacks, in order")
            << LoginShellPathResult::failed() << u"/usr/local/bin:/c"_s
            << u"/usr/local/bin:/c:/opt/homebrew/bin:/home/p/.volta/bin"_s;
    }
    void appsPathForApps() {
        QFETCH(LoginShellPathResult, loginShell);
        QFETCH(QString, serverPath);
        QFETCH(QString, appsPath);
        const QSet<QString> existing{u"/opt/homebrew/bin"_s, u"/usr/local/bin"_s, u"/home/p/.volta/bin"_s};
        QCOMPARE(AppsPath::forApps(loginShell, serverPath, home,
                                   [&](const QString& p) { return existing.contains(p); }),
                 appsPath);
    }

    void bundledServerLocate_data() {
        QTest::addColumn<QString>("bundlePath");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("found");
        QTest::newRow("both present") << bundle << QStringList{bundleNode, bundleEntry} << true;
        QTest::newRow("trailing slash") << bundle + u'/' << QStringList{bundleNode, bundleEntry} << true;
        QTest::newRow("no node") << bundle << QStringList{bundleEntry} << false;
        QTest::newRow("no entry script") << bundle << QStringList{bundleNode} << false;
    }
    void bundledServerLocate() {
        QFETCH(QString, bundlePath);
        QFETCH(QStringList, files);
        QFETCH(bool, found);
        const auto server =
            BundledServer::locate(bundlePath, [&](const QString& p) { return files.contains(p); });
        QCOMPARE(server.has_value(), found);
        if (found)
            QCOMPARE(*server, (BundledServer{bundle + u"/Contents/Resources/server"_s, bundleNode}));
    }

    void networkPreference_data() {
        QTest::addColumn<std::optional<QString>>("stored");
        QTest::addColumn<NetworkPreference>("preference");
        QTest::addColumn<bool>("isRawValue");
        QTest::newRow("home network")
            << std::optional(u"home-network"_s) << NetworkPreference::homeNetwork << true;
        QTest::newRow("this computer")
            << std::optional(u"this-computer-only"_s) << NetworkPreference::thisComputerOnly << true;
        QTest::newRow("other letter case")
            << std::optional(u"Home-Network"_s) << NetworkPreference::thisComputerOnly << false;
        QTest::newRow("garbage") << std::optional(u"lan"_s) << NetworkPreference::thisComputerOnly << false;
        QTest::newRow("nothing stored")
            << std::optional<QString>() << NetworkPreference::thisComputerOnly << false;
    }
    void networkPreference() {
        QFETCH(std::optional<QString>, stored);
        QFETCH(NetworkPreference, preference);
        QFETCH(bool, isRawValue);
        QCOMPARE(NetworkPreferences::from(stored), preference);
        QCOMPARE(NetworkPreferences::fromRaw(stored.value_or(QString())).has_value(), isRawValue);
        if (isRawValue)
            QCOMPARE(NetworkPreferences::toRaw(preference), *stored);
    }

    void logFileLocation_data() {
        QTest::addColumn<Environment>("environment");
        QTest::addColumn<QString>("file");
        QTest::newRow("default") << Environment{} << u"/home/p/.local/state/Corvane/server.log"_s;
        QTest::newRow("empty variable")
            << Environment{{u"CORVANE_LOG_DIR"_s, u""_s}} << u"/home/p/.local/state/Corvane/server.log"_s;
        QTest::newRow("variable") << Environment{{u"CORVANE_LOG_DIR"_s, u"/var/log/k"_s}}
                                  << u"/var/log/k/server.log"_s;
        QTest::newRow("trailing slash kept")
            << Environment{{u"CORVANE_LOG_DIR"_s, u"/var/log/k/"_s}} << u"/var/log/k//server.log"_s;
    }
    void logFileLocation() {
        QFETCH(Environment, environment);
        QFETCH(QString, file);
        QCOMPARE(ServerLog::file(environment, home), file);
    }
};

QTEST_GUILESS_MAIN(TestPlanBuilder)
#include "tst_PlanBuilder.moc"
