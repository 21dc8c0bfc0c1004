#include "ServerViewModel.h"

#include <corvane/shell/AppConfiguration.h>
#include <corvane/status/RefreshPolicy.h>
#include <corvane/supervision/BundledServer.h>
#include <corvane/supervision/PlanBuilder.h>
#include <corvane/supervision/ToolLocator.h>

#include <QPointer>
#include <QTimer>

#include <coroutine>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QStringView writeSecretVariable = u"CORVANE_WRITE_ADMIN_SECRET";

bool isWorking(const std::optional<VoiceStatus>& voice) {
    return voice &&
           (voice->state == VoiceStatus::State::downloading || voice->state == VoiceStatus::State::preparing);
}

} // namespace

ServerViewModel::ServerViewModel(Dependencies dependencies, QObject* parent)
    : QObject(parent)
    , m_now(dependencies.clock())
    , m_dependencies(std::move(dependencies))
    , m_loginShell(m_dependencies.environment(), m_dependencies.shellRunner)
    , m_keepAwake(m_dependencies.sleepAssertions)
    , m_supervisor(std::move(m_dependencies.supervisor))
    , m_loginItem(m_dependencies.loginItems) {
    Q_ASSERT(m_supervisor && m_dependencies.defaults && m_dependencies.transport);
    const Environment environment = m_dependencies.environment();
    const QString secretPath = environment.value(writeSecretVariable.toString());
    // A copy of the secret for an outside smoke test; the application runs the same if it fails.
    if (!secretPath.isEmpty() && localAdmin())
        (void)localAdmin()->writeHexForSmoke(secretPath);
    m_networkPreference =
        NetworkPreferences::from(m_dependencies.defaults->string(NetworkPreferences::settingsKey.toString()));

    m_supervisor->onStateChange = [self = QPointer(this)](const ServerState& state) {
        if (self)
            self->serverStateChanged(state);
    };
    m_loginItem.refresh();
    publishLoginItem();
}

ServerViewModel::~ServerViewModel() {
    cancelRefresh();
    m_supervisor->onStateChange = nullptr;
}

template <typename T>
void ServerViewModel::assign(T& field, T value, void (ServerViewModel::*signal)()) {
    if (field == value)
        return;
    field = std::move(value);
    Q_EMIT(this->*signal)();
    Q_EMIT changed();
}

MenuStatus ServerViewModel::menuStatus() const {
    return MenuStatus::from(m_state, m_setupProblem,
                            AppConfiguration::resolvePort(m_dependencies.environment()));
}

SetupClient ServerViewModel::client() const {
    return SetupClient(m_dependencies.transport(),
                       AppConfiguration::resolvePort(m_dependencies.environment()), localAdmin());
}

std::expected<ServerLaunchPlan, PlanBuildError>
ServerViewModel::makePlan(const LoginShellPathResult& loginShell) const {
    const PlanSources& sources = m_dependencies.planSources;
    return PlanBuilder::build({
        .environment = m_dependencies.environment(),
        .bundledServer = BundledServer::locate(sources.bundlePath, sources.fileExists),
        .bundledRepoRoot = sources.bundledRepoRoot,
        .home = sources.home,
        .networkPreference = m_networkPreference,
        .localAdminSecret = localAdmin(),
        .locator = ToolLocator{.exists = sources.isExecutable},
        .loginShell = loginShell,
        .directoryExists = sources.directoryExists,
        .fileExists = sources.fileExists,
    });
}

void ServerViewModel::start() {
    if (m_isLaunching)
        return;
    m_isLaunching = true;
    launch();
}

QCoro::Task<> ServerViewModel::launch() {
    const QPointer self(this);
    const std::optional<ServerLaunchPlan> plan = co_await planWithLoginShell();
    if (!self)
        co_return;
    m_isLaunching = false;
    if (plan)
        m_supervisor->start(*plan);
}

QCoro::Task<std::optional<ServerLaunchPlan>> ServerViewModel::planWithLoginShell() {
    const QPointer self(this);
    const WorkUnderWay::Token planning = m_plans.begin();
    const LoginShellPathResult loginShell = co_await m_loginShell.value();
    if (!self)
        co_return std::nullopt;
    auto plan = makePlan(loginShell);
    assign(m_setupProblem, plan ? std::optional<QString>() : std::optional(plan.error().message()),
           &ServerViewModel::setupProblemChanged);
    co_return plan ? std::optional(*std::move(plan)) : std::nullopt;
}

void ServerViewModel::serverStateChanged(const ServerState& newState) {
    const bool wasRunning = m_state.isRunning();
    assign(m_state, newState, &ServerViewModel::stateChanged);
    if (!newState.isRunning()) {
        ++m_run;
        cancelRefresh();
        assign(m_instructions, std::optional<DialInstructions>(), &ServerViewModel::instructionsChanged);
        assign(m_voice, std::optional<VoiceStatus>(), &ServerViewModel::voiceChanged);
        assign(m_pairingCode, std::optional<PairingCode>(), &ServerViewModel::pairingCodeChanged);
        assign(m_readProblem, std::optional<QString>(), &ServerViewModel::readProblemChanged);
        applyKeepAwake(std::nullopt);
        return;
    }
    if (!wasRunning) {
        m_runStartedAt = m_dependencies.clock();
        refresh();
    }
    startClock();
}

void ServerViewModel::refresh() {
    m_loginItem.refresh();
    publishLoginItem();
    if (!m_state.isRunning())
        return;
    reloadEverything();
}

QCoro::Task<> ServerViewModel::reloadEverything() {
    const ReadGuard read = beginRead();
    const SetupClient client = this->client();
    const auto info = co_await client.load();
    if (!read.current())
        co_return;
    if (!info) {
        // A server still starting up is not a problem yet: the readout keeps saying it is checking.
        const bool stillStarting =
            !m_instructions && std::holds_alternative<SetupClientError::Unreachable>(info.error().value()) &&
            m_dependencies.clock() - m_runStartedAt < startUpTime;
        if (!stillStarting)
            assign(m_readProblem, std::optional(info.error().message()),
                   &ServerViewModel::readProblemChanged);
        co_return;
    }
    assign(m_instructions, std::optional(DialInstructions::from(*info)),
           &ServerViewModel::instructionsChanged);
    assign(m_voice, info->voice, &ServerViewModel::voiceChanged);
    applyKeepAwake(info->keepAwake);

    const auto code = co_await client.loadPairingCode();
    if (!read.current())
        co_return;
    if (!code) {
        assign(m_readProblem, std::optional(code.error().message()), &ServerViewModel::readProblemChanged);
        co_return;
    }
    assign(m_pairingCode, *code, &ServerViewModel::pairingCodeChanged);
    assign(m_readProblem, std::optional<QString>(), &ServerViewModel::readProblemChanged);
}

void ServerViewModel::startClock() {
    if (m_clock)
        return;
    m_clock = std::make_shared<SleepRun>();
    runClock(this, m_clock, m_dependencies.tick);
}

void ServerViewModel::cancelRefresh() {
    // Held here while the cancelled clock, woken inside `cancel`, runs to its end.
    if (const std::shared_ptr<SleepRun> run = std::exchange(m_clock, nullptr))
        run->cancel();
}

QCoro::Task<> ServerViewModel::runClock(QPointer<ServerViewModel> model, std::shared_ptr<SleepRun> run,
                                        std::function<QCoro::Task<>()> tick) {
    const auto ended = [&] { return !model || run->cancelled(); };
    // Seconds since the clock started. Every interval divides the 30-second cycle, so counting on is
    // the same as starting the count again after each pairing-code read.
    static_assert(
        RefreshPolicy::ticksBetweenPairingCodeRefreshes % RefreshPolicy::ticksBetweenVoiceProgressRefreshes ==
            0 &&
        RefreshPolicy::ticksBetweenPairingCodeRefreshes % RefreshPolicy::ticksBetweenKeepAwakeRefreshes == 0);
    int elapsed = 0;
    while (!run->cancelled()) {
        if (tick)
            co_await tick();
        else
            co_await run->sleep(RefreshPolicy::tick);
        if (ended())
            co_return;
        model->assign(model->m_now, model->m_dependencies.clock(), &ServerViewModel::nowChanged);
        ++elapsed;
        const auto due = [elapsed](int ticksBetween) { return elapsed % ticksBetween == 0; };
        // A server is reported running as soon as it is launched, often before it listens, so the
        // first read of a run may find nobody there. It is repeated every second while the server
        // starts up, and no longer: after that the menu reads everything again each time it is shown.
        if (!model->m_instructions && elapsed <= startUpTime / RefreshPolicy::tick) {
            co_await model->reloadEverything();
            if (ended())
                co_return;
        }
        if (due(RefreshPolicy::ticksBetweenVoiceProgressRefreshes)) {
            co_await model->reloadVoiceIfWorking();
            if (ended())
                co_return;
        }
        if (due(RefreshPolicy::ticksBetweenKeepAwakeRefreshes)) {
            co_await model->reloadKeepAwakeWish();
            if (ended())
                co_return;
        }
        if (due(RefreshPolicy::ticksBetweenPairingCodeRefreshes))
            co_await model->reloadPairingCodeOnly();
    }
}

QCoro::Task<> ServerViewModel::reloadVoiceIfWorking() {
    if (!isWorking(m_voice))
        co_return;
    const ReadGuard read = beginRead();
    const auto info = co_await client().load();
    if (!read.current() || !info)
        co_return;
    assign(m_voice, info->voice, &ServerViewModel::voiceChanged);
    applyKeepAwake(info->keepAwake);
}

QCoro::Task<> ServerViewModel::reloadKeepAwakeWish() {
    const ReadGuard read = beginRead();
    const auto info = co_await client().load();
    if (read.current() && info)
        applyKeepAwake(info->keepAwake);
}

QCoro::Task<> ServerViewModel::reloadPairingCodeOnly() {
    const ReadGuard read = beginRead();
    const auto code = co_await client().loadPairingCode();
    if (read.current() && code)
        assign(m_pairingCode, *code, &ServerViewModel::pairingCodeChanged);
}

void ServerViewModel::newPairingCode() {
    if (!m_state.isRunning())
        return;
    createPairingCode();
}

QCoro::Task<> ServerViewModel::createPairingCode() {
    const ReadGuard read = beginRead();
    const auto code = co_await client().createPairingCode();
    if (!read.current())
        co_return;
    if (!code) {
        assign(m_readProblem, std::optional(code.error().message()), &ServerViewModel::readProblemChanged);
        co_return;
    }
    assign(m_pairingCode, std::optional(*code), &ServerViewModel::pairingCodeChanged);
    assign(m_readProblem, std::optional<QString>(), &ServerViewModel::readProblemChanged);
}

void ServerViewModel::applyKeepAwake(std::optional<bool> serverWish) {
    m_keepAwake.update(m_state.isRunning(), serverWish);
    assign(m_keepingAwake, m_keepAwake.isHolding(), &ServerViewModel::keepingAwakeChanged);
}

void ServerViewModel::publishLoginItem() {
    assign(m_startsAtLogin, m_loginItem.isOn(), &ServerViewModel::startsAtLoginChanged);
    assign(m_loginNeedsApproval, m_loginItem.needsApproval(), &ServerViewModel::loginNeedsApprovalChanged);
    assign(m_loginMessage, m_loginItem.message(), &ServerViewModel::loginMessageChanged);
    assign(m_loginProblem, m_loginItem.problem(), &ServerViewModel::loginProblemChanged);
}

void ServerViewModel::setNetworkPreference(NetworkPreference preference) {
    if (preference == m_networkPreference)
        return;
    assign(m_networkPreference, preference, &ServerViewModel::networkPreferenceChanged);
    m_dependencies.defaults->setString(NetworkPreferences::settingsKey.toString(),
                                       NetworkPreferences::toRaw(preference));
    if (!m_state.isRunning())
        return;
    applyNetworkChange();
}

QCoro::Task<> ServerViewModel::applyNetworkChange() {
    const QPointer self(this);
    assign(m_isApplyingNetworkChange, true, &ServerViewModel::isApplyingNetworkChangeChanged);
    // A plan that cannot be built leaves the running server as it is.
    if (const std::optional<ServerLaunchPlan> plan = co_await planWithLoginShell(); self && plan)
        co_await m_supervisor->restart(*plan);
    if (self)
        assign(m_isApplyingNetworkChange, false, &ServerViewModel::isApplyingNetworkChangeChanged);
}

void ServerViewModel::quitAfterServerStops(std::function<void()> then) {
    [](QPointer<ServerViewModel> self, std::function<void()> done) -> QCoro::Task<> {
        if (self)
            co_await self->m_supervisor->stopAndWait();
        // A login shell still being asked is told to stop, and every plan waiting for its answer is
        // made (the supervisor starts nothing once quitting) before the application ends, even one
        // whose answer came but which has not run yet: nothing is left waiting.
        if (self && self->m_loginShell.isReading())
            self->m_dependencies.shellRunner->cancelRuns();
        if (self)
            co_await self->m_plans.settled();
        done();
    }(this, std::move(then));
}

} // namespace corvane
