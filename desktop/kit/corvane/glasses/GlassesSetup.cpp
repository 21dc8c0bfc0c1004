#include "GlassesSetup.h"

#include <corvane/glasses/AdbDownload.h>
#include <corvane/glasses/GlassesInstaller.h>
#include <corvane/glasses/GlassesSetupPlan.h>

#include <qcorotimer.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

// Command lines are made apart from any co_await: GCC 12 miscompiles a braced list inside one.
const QStringList killServer{u"kill-server"_s};

QCoro::Task<> aSecond() {
    co_await QCoro::sleepFor(std::chrono::seconds(1));
}

} // namespace

GlassesSetup::GlassesSetup(Dependencies dependencies)
    : m_dependencies(std::move(dependencies)) {
    if (!m_dependencies.pause)
        m_dependencies.pause = aSecond;
    m_dependencies.connectionChecks = std::max(0, m_dependencies.connectionChecks);
}

void GlassesSetup::setStage(GlassesSetupStage stage) {
    m_stage = std::move(stage);
    if (onStageChange)
        onStageChange(m_stage);
}

QCoro::Task<QString> GlassesSetup::outputOf(std::shared_ptr<AdbRunner> runner, QStringList arguments) {
    const std::expected<AdbResult, QString> result = co_await runner->run(std::move(arguments));
    co_return result ? result->output : QString();
}

QCoro::Task<> GlassesSetup::begin() {
    if (m_stage.isBusy())
        co_return;
    setStage({GlassesSetupStage::Checking{}});
    const AdbSource source = m_dependencies.locate();
    const auto* onDisk = std::get_if<AdbSource::OnDisk>(&source.value);
    if (!onDisk) {
        if (m_dependencies.helperRunsHere)
            setStage({GlassesSetupStage::AskingToFetchTool{}});
        else
            setStage({GlassesSetupStage::Blocked{AdbDownload::notForThisProcessor.toString(),
                                                 AdbDownload::installTheSystemsAdb.toString()}});
        co_return;
    }
    const bool ours = onDisk->isOurs;
    const std::shared_ptr<AdbRunner> runner = m_dependencies.makeRunner(onDisk->path);
    co_await work(runner);
    // Our own adb leaves no server behind; a person's own adb is theirs to run as they like.
    if (ours)
        co_await outputOf(runner, killServer);
}

QCoro::Task<> GlassesSetup::confirmFetch() {
    if (!std::holds_alternative<GlassesSetupStage::AskingToFetchTool>(m_stage.value))
        co_return;
    setStage({GlassesSetupStage::FetchingTool{}});
    const auto provider = m_dependencies.provider;
    const std::expected<QString, AdbProvisionError> path =
        co_await provider->fetch(m_dependencies.applicationSupport);
    if (m_windingDown) {
        setStage({GlassesSetupStage::Stopped{GlassesSetupWords::stoppedForQuit.toString()}});
        co_return;
    }
    if (!path) {
        setStage({GlassesSetupStage::Failed{AdbProvisionErrors::plainDescription(path.error()).toString()}});
        co_return;
    }
    const std::shared_ptr<AdbRunner> runner = m_dependencies.makeRunner(*path);
    co_await work(runner);
    co_await outputOf(runner, killServer);
}

void GlassesSetup::windDown() {
    m_windingDown = true;
    if (std::holds_alternative<GlassesSetupStage::FetchingTool>(m_stage.value))
        m_dependencies.provider->stop();
}

void GlassesSetup::declineFetch() {
    if (std::holds_alternative<GlassesSetupStage::AskingToFetchTool>(m_stage.value))
        setStage({GlassesSetupStage::Stopped{AdbDownload::declinedMessage.toString()}});
}

void GlassesSetup::reset() {
    if (!m_stage.isBusy())
        setStage({GlassesSetupStage::Idle{}});
}

QCoro::Task<> GlassesSetup::work(std::shared_ptr<AdbRunner> runner) {
    const QString app = GlassesApp::packageName.toString();
    const QStringList devicesCommand{u"devices"_s, u"-l"_s};
    const QStringList packagesCommand{u"shell"_s, u"pm"_s, u"list"_s, u"packages"_s, u"-i"_s, app};
    const QStringList dumpsysCommand{u"shell"_s, u"dumpsys"_s, u"package"_s, app};
    const QString devices = co_await outputOf(runner, devicesCommand);
    const QString packages = co_await outputOf(runner, packagesCommand);
    const QString dumpsys = co_await outputOf(runner, dumpsysCommand);
    const GlassesLink link = GlassesReader::link(devices);
    const BundledGlassesApp& bundled = m_dependencies.app;
    const GlassesSetupAction action =
        GlassesSetupPlan::decide(link, GlassesReader::installed(packages), GlassesReader::version(dumpsys),
                                 bundled.version, GlassesReader::versionCode(dumpsys), bundled.versionCode);
    std::optional<QString> serial;
    if (const auto* ready = std::get_if<GlassesLink::Ready>(&link.value))
        serial = ready->device.serial;

    if (const auto* blocked = std::get_if<GlassesSetupAction::CannotProceed>(&action.value)) {
        setStage({GlassesSetupStage::Blocked{blocked->reason, blocked->whatToDo}});
        co_return;
    }
    if (const auto* already = std::get_if<GlassesSetupAction::AlreadySetUp>(&action.value)) {
        const GlassesSetupResult result{GlassesSetupResult::AlreadySetUp{already->version}};
        GlassesSetupStage last =
            co_await connect(runner, serial, already->version.value_or(bundled.version), result);
        setStage(std::move(last));
        co_return;
    }
    const InstallBecause because = std::get<GlassesSetupAction::Install>(action.value).because;
    setStage({GlassesSetupStage::Installing{because}});
    GlassesInstaller installer(runner);
    const std::expected<GlassesInstallOutcome, GlassesInstallFailure> outcome =
        co_await installer.install(bundled.apkPath, bundled.apkSize);
    if (!outcome) {
        const auto* error = std::get_if<GlassesInstallError>(&outcome.error());
        setStage({GlassesSetupStage::Failed{error ? error->plainDescription()
                                                  : GlassesSetupWords::turnedDown.toString()}});
        co_return;
    }
    const GlassesSetupResult result =
        *outcome == GlassesInstallOutcome::installed
            ? GlassesSetupResult{GlassesSetupResult::Installed{bundled.version}}
            : GlassesSetupResult{GlassesSetupResult::InstalledWithoutSilentUpdates{bundled.version}};
    GlassesSetupStage last = co_await connect(runner, serial, bundled.version, result);
    setStage(std::move(last));
}

QCoro::Task<GlassesWifi> GlassesSetup::readWifi(std::shared_ptr<AdbRunner> runner) {
    const QStringList addresses{u"shell"_s, u"ip"_s, u"-4"_s, u"-o"_s, u"addr"_s, u"show"_s};
    const QString output = co_await outputOf(runner, addresses);
    co_return GlassesReader::wifi(output);
}

QCoro::Task<GlassesSetupStage> GlassesSetup::connect(std::shared_ptr<AdbRunner> runner,
                                                     std::optional<QString> serial, QString version,
                                                     GlassesSetupResult onArrival) {
    const auto cannotReach = [&version](const QString& reason, const QString& whatToDo) {
        return GlassesSetupStage{GlassesSetupStage::Finished{
            {GlassesSetupResult::InstalledButCannotReach{version, reason, whatToDo}}}};
    };
    const auto server = m_dependencies.server;
    const auto keys = m_dependencies.keys;
    const GlassesWifi wifi = co_await readWifi(runner);
    const GlassesHandshake handshake = co_await server->handshake(wifi.network());
    if (const auto* refused = std::get_if<GlassesHandshake::CannotReach>(&handshake.value))
        co_return cannotReach(refused->reason, refused->whatToDo);
    const auto& connect = std::get<GlassesHandshake::Connect>(handshake.value);
    for (AdbCommand command : GlassesHandshake::deliveryCommands(connect))
        co_await runner->runWithInput(std::move(command));
    setStage({GlassesSetupStage::Connecting{std::holds_alternative<GlassesWifi::Off>(wifi.value)}});

    const QStringList previous = serial ? keys->keys(*serial) : QStringList();
    const bool connected = co_await arrived(connect.deviceId);
    if (connected) {
        for (const QString& old : previous)
            if (old != connect.deviceId)
                co_await server->revoke(old);
        if (serial)
            keys->record({connect.deviceId}, *serial);
        co_return GlassesSetupStage{GlassesSetupStage::Finished{onArrival}};
    }
    if (serial)
        keys->record(previous + QStringList{connect.deviceId}, *serial);
    const GlassesWifi now = co_await readWifi(runner);
    if (std::holds_alternative<GlassesWifi::Off>(now.value))
        co_return cannotReach(GlassesSetupWords::notOnWifi.toString(),
                              GlassesSetupWords::wakeThemUp.toString());
    co_return cannotReach(GlassesSetupWords::didNotConnect.toString(),
                          GlassesSetupWords::checkTheirWifi.toString());
}

QCoro::Task<bool> GlassesSetup::arrived(QString deviceId) {
    const auto server = m_dependencies.server;
    const auto pause = m_dependencies.pause;
    for (int check = 0; check < m_dependencies.connectionChecks && !m_windingDown; ++check) {
        if (check > 0)
            co_await pause();
        if (m_windingDown)
            break;
        const bool seen = co_await server->hasConnected(deviceId);
        if (seen)
            co_return true;
    }
    co_return false;
}

} // namespace corvane
