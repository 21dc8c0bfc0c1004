#include "AppDelegate.h"

#include <corvane/glasses/AdbDownload.h>
#include <corvane/shell/AppConfiguration.h>
#include <corvane/shell/TestCopyEnvironment.h>
#include <corvane/supervision/ServerLog.h>

#include <corvane/AppQuit.h>
#include <corvane/FileLogFollower.h>
#include <corvane/InhibitorSleepAssertions.h>
#include <corvane/ListingFolderAccess.h>
#include <corvane/ModuleFileFetcher.h>
#include <corvane/NetworkAdbProvisionSteps.h>
#include <corvane/PackageKitDeveloperTools.h>
#include <corvane/PlatformUpdater.h>
#include <corvane/ProcessAdbRunner.h>
#include <corvane/ProcessCommandRunner.h>
#include <corvane/QProcessLauncher.h>
#include <corvane/SettingsDefaults.h>
#include <corvane/Sha1DigestVerifier.h>
#include <corvane/SocketHTTPTransport.h>
#include <corvane/SocketPortProbe.h>
#include <corvane/SystemLogNote.h>
#include <corvane/TrayProgram.h>
#include <corvane/XdgAutostartLoginItem.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace corvane {

namespace {

ServerViewModel::Dependencies
platformDependencies(const AppBundle& bundle, std::shared_ptr<Defaults> defaults, AppDelegate::Tick tick) {
    return {
        .defaults = std::move(defaults),
        .localAdmin = AppDelegate::localAdmin(),
        .supervisor = std::make_unique<ServerSupervisor>(std::make_shared<SocketPortProbe>(),
                                                         std::make_shared<QProcessLauncher>()),
        .shellRunner = std::make_shared<ProcessCommandRunner>(),
        .loginItems = std::make_shared<XdgAutostartLoginItem>(
            XdgAutostartLoginItem::standardEntryPath(bundle.bundleIdentifier()),
            TrayProgram::launcherPath(QCoreApplication::applicationFilePath())),
        .sleepAssertions = std::make_shared<InhibitorSleepAssertions>(),
        .transport = [] { return std::make_shared<SocketHTTPTransport>(); },
        .environment = &processEnvironment,
        .planSources =
            {
                .bundlePath = bundle.path,
                .bundledRepoRoot = stringEntry(bundle.info, AppConfiguration::bundledRepoRootKey.toString()),
                .home = QDir::homePath(),
                .fileExists = [](const QString& path) { return QFileInfo(path).isFile(); },
                .directoryExists = [](const QString& path) { return QFileInfo(path).isDir(); },
                .isExecutable =
                    [](const QString& path) {
                        const QFileInfo file(path);
                        return file.isFile() && file.isExecutable();
                    },
            },
        .clock = [] { return std::chrono::system_clock::now(); },
        .tick = std::move(tick),
    };
}

WelcomeViewModel::Dependencies welcomeDependencies(std::shared_ptr<Defaults> defaults) {
    return {
        .defaults = std::move(defaults),
        .localAdmin = AppDelegate::localAdmin(),
        .transport = [] { return std::make_shared<SocketHTTPTransport>(); },
        .environment = &processEnvironment,
        .developerTools = std::make_shared<PackageKitDeveloperTools>(),
        .folderAccess = std::make_shared<ListingFolderAccess>(QDir::homePath()),
        .clock = [] { return std::chrono::system_clock::now(); },
        .pause = {},
        .serverRunning = {},
        .chooseFolder = {}, // the welcome window supplies its chooser
    };
}

// The start-up sequence, in its order.
std::unique_ptr<ServerViewModel>
buildModels(const AppBundle& bundle, const std::shared_ptr<Defaults>& defaults, AppDelegate::Tick tick) {
    // The test copy's environment comes first: everything after it reads the process environment.
    TestCopyEnvironment::apply(bundle.info);
    return std::make_unique<ServerViewModel>(platformDependencies(bundle, defaults, std::move(tick)));
}

// A fresh client of the server's setup API with its own transport, for each request of a screen.
SetupClient setupClient() {
    return SetupClient(std::make_shared<SocketHTTPTransport>(),
                       AppConfiguration::resolvePort(processEnvironment()), AppDelegate::localAdmin());
}

// The glasses setup over the platform: adb found or fetched from Google's repository (a test copy
// may name another), run as a child process, and the local server reached through its setup API.
// Without a glasses app inside the application there is no setup, only the packaging problem.
std::unique_ptr<GlassesViewModel> glassesModel(const AppBundle& bundle, std::shared_ptr<Defaults> defaults,
                                               const ServerViewModel& server) {
    const std::optional<BundledGlassesApp> app = BundledGlassesAppLocator::resolve(
        bundle.path + QStringLiteral("/Contents/Resources"),
        stringEntry(bundle.info, BundledGlassesAppLocator::versionInfoKey.toString()),
        stringEntry(bundle.info, BundledGlassesAppLocator::buildInfoKey.toString()),
        [](const QString& path) -> std::optional<qint64> {
            const QFileInfo file(path);
            return file.isFile() ? std::optional(file.size()) : std::nullopt;
        });
    if (!app)
        return std::make_unique<GlassesViewModel>(nullptr, std::nullopt);
    const QString home = QDir::homePath();
    const QString support = AppConfiguration::applicationSupportDirectory(bundle.bundleIdentifier(), home);
    const QString repository = AdbDownload::repository(bundle.info, processEnvironment());
    auto flow = std::make_shared<GlassesSetup>(GlassesSetup::Dependencies{
        .locate =
            [home, support, &server] {
                return AdbLocator{.environment = processEnvironment(),
                                  .loginShellPath = server.loginShellPath()}
                    .locate(home, support);
            },
        .makeRunner = [](const QString& path) -> std::shared_ptr<AdbRunner> {
            return std::make_shared<ProcessAdbRunner>(path);
        },
        .provider = std::make_shared<AdbProvisioner>(
            std::make_shared<NetworkAdbProvisionSteps>(
                AppConfiguration::cacheDirectory(bundle.bundleIdentifier()) + QStringLiteral("/downloads"),
                std::make_shared<ModuleFileFetcher>(ModuleFileFetcher::besideProgram())),
            std::make_shared<Sha1DigestVerifier>(), repository),
        .applicationSupport = support,
        .app = *app,
        .server = std::make_shared<LocalGlassesServer>(setupClient()),
        .keys = std::make_shared<DefaultsGlassesKeyLedger>(std::move(defaults)),
    });
    return std::make_unique<GlassesViewModel>(std::move(flow), support);
}

// The updates model, its notes going to the system log under the application's identifier.
std::unique_ptr<UpdatesModel> updatesModel(const InfoDictionary& info, std::unique_ptr<Updater> updater) {
    return std::make_unique<UpdatesModel>(
        info, std::move(updater),
        UpdatesModel::Actions{.note = systemLogNote(stringEntry(info, QStringLiteral("CFBundleIdentifier"))
                                                        .value_or(QStringLiteral("com.mossgate.corvane.mac")),
                                                    QStringLiteral("updates"))});
}

} // namespace

const std::optional<LocalAdminSecret>& AppDelegate::localAdmin() {
    static const std::optional<LocalAdminSecret> secret = [] {
        auto minted = LocalAdminSecret::mint();
        return minted ? std::optional(*std::move(minted)) : std::nullopt;
    }();
    return secret;
}

AppDelegate::AppDelegate(const AppBundle& bundle, Tick tick, QObject* parent)
    : AppDelegate(bundle, std::make_shared<SettingsDefaults>(), std::move(tick), parent) {}

// One settings store for every model, so that each sees what another wrote.
AppDelegate::AppDelegate(const AppBundle& bundle, std::shared_ptr<Defaults> defaults, Tick tick,
                         QObject* parent)
    : AppDelegate(
          buildModels(bundle, defaults, std::move(tick)),
          [](bool proceed) {
              if (proceed)
                  QCoreApplication::quit();
          },
          bundle.info,
          platformUpdater(bundle.info, bundle.path, defaults,
                          std::make_shared<ModuleFileFetcher>(ModuleFileFetcher::besideProgram())),
          parent) {
    WelcomeViewModel::Dependencies welcome = welcomeDependencies(defaults);
    welcome.serverRunning = [server = m_model.get()] { return server->state().isRunning(); };
    m_welcome = std::make_unique<WelcomeViewModel>(std::move(welcome));
    m_approval = std::make_unique<ApprovalViewModel>(ApprovalLadderFlow::over(setupClient));
    m_previews = std::make_unique<PreviewsSwitchViewModel>(PreviewsSwitchFlow::over(setupClient));
    m_glasses = glassesModel(bundle, defaults, *m_model);
    m_log = std::make_unique<ServerLogModel>(std::make_unique<FileLogFollower>(),
                                             ServerLog::file(processEnvironment(), QDir::homePath()));
    if (m_updates->settings().updatesItself && othersCanWriteBeside(bundle.path))
        m_updates->holdBack();
}

AppDelegate::AppDelegate(std::unique_ptr<ServerViewModel> model, std::function<void(bool)> answerTerminate,
                         const InfoDictionary& info, QObject* parent)
    : AppDelegate(std::move(model), std::move(answerTerminate), info, nullptr, parent) {}

AppDelegate::AppDelegate(std::unique_ptr<ServerViewModel> model, std::function<void(bool)> answerTerminate,
                         const InfoDictionary& info, std::unique_ptr<Updater> updater, QObject* parent)
    : QObject(parent)
    , m_model(std::move(model))
    , m_updates(updatesModel(info, std::move(updater)))
    , m_answerTerminate(std::move(answerTerminate)) {
    connect(m_updates.get(), &UpdatesModel::quitRequested, this, [] { AppQuit::request(); });
}

AppDelegate::~AppDelegate() {
    AppQuit::setDefaultAction([] { QCoreApplication::quit(); });
}

void AppDelegate::applicationDidFinishLaunching() {
    // No shared store of HTTP answers exists here to be emptied: the setup client speaks HTTP itself and
    // keeps nothing, and no earlier version ever kept any.
    m_model->start();
    m_terminationSignal = std::make_unique<TerminationSignal>([this](int) { AppQuit::request(); });
    AppQuit::setDefaultAction([this] { applicationShouldTerminate(); });
}

void AppDelegate::applicationShouldTerminate() {
    if (m_model->isQuitting())
        return;
    m_model->setQuitting(true);
    if (m_welcome)
        m_welcome->stop(); // no new reads while the server stops
    if (m_glasses)
        m_glasses->windDown(); // a quit does not wait half a minute for glasses to connect
    m_updates->windDown();     // nor for an update to download
    m_model->quitAfterServerStops([this] { answerOnceSettled(); });
}

// The screens' reads and actions under way end before the application does (with the server
// stopped they fail at once, or at their time limit): nothing is left waiting.
QCoro::Task<> AppDelegate::answerOnceSettled() {
    if (m_welcome)
        co_await m_welcome->settled();
    if (m_approval)
        co_await m_approval->settled();
    if (m_previews)
        co_await m_previews->settled();
    if (m_glasses)
        co_await m_glasses->settled();
    co_await m_updates->settled();
    m_answerTerminate(true);
}

void AppDelegate::applicationWillTerminate() {
    m_model->cancelRefresh();
    m_model->supervisor().stop();
    m_model->applyKeepAwake(std::nullopt);
    // Last of all, with the server stopped: the next start runs the new copy.
    m_updates->installOnQuit();
}

} // namespace corvane
