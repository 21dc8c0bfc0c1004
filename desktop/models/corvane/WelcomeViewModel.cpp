#include "WelcomeViewModel.h"

#include <corvane/shell/AppConfiguration.h>
#include <corvane/welcome/FolderAccess.h>
#include <corvane/welcome/WelcomeFinish.h>
#include <corvane/welcome/WelcomeLaunch.h>

#include <QPointer>

#include <algorithm>

namespace corvane {

WelcomeViewModel::WelcomeViewModel(Dependencies dependencies, QObject* parent)
    : QObject(parent)
    , m_dependencies(std::move(dependencies))
    , m_now(m_dependencies.clock()) {
    const QVariant stored = m_dependencies.defaults->value(FolderAccess::storedAnswersKey.toString());
    m_folderAnswers = FolderAccess::answers(stored.toMap()); // anything but a map reads as no answers
    m_folderAccessDeclined = m_dependencies.defaults->flag(FolderAccess::declinedKey.toString());
    m_completed = m_dependencies.defaults->flag(WelcomeLaunch::completedKey.toString());
}

WelcomeViewModel::~WelcomeViewModel() {
    stop();
}

template <typename T>
void WelcomeViewModel::assign(T& field, T value) {
    if (field == value)
        return;
    field = std::move(value);
    Q_EMIT changed();
}

SetupClient WelcomeViewModel::client() const {
    return SetupClient(m_dependencies.transport(),
                       AppConfiguration::resolvePort(m_dependencies.environment()),
                       m_dependencies.localAdmin);
}

QList<ReadoutRow> WelcomeViewModel::readout() const {
    return WelcomeReadout::rows(m_step, m_toolsStage, m_setupInfo ? m_setupInfo->voice : std::nullopt,
                                m_folderOutcome ? std::optional(m_folderOutcome->cwd) : std::nullopt,
                                m_facts.folderChosen, m_agents, m_pairedDeviceName, m_glassesPaired);
}

void WelcomeViewModel::start() {
    if (m_poll)
        return;
    m_poll = std::make_shared<SleepRun>();
    poll(m_poll);
}

void WelcomeViewModel::stop() {
    // Held here while the cancelled poll, woken inside `cancel`, runs to its end.
    if (const std::shared_ptr<SleepRun> run = std::exchange(m_poll, nullptr))
        run->cancel();
}

// A cycle begins two seconds after the previous one ended, so cycles of the poll never overlap.
QCoro::Task<> WelcomeViewModel::poll(std::shared_ptr<SleepRun> run) {
    const QPointer self(this);
    const std::function<QCoro::Task<>()> pause = m_dependencies.pause;
    while (!run->cancelled()) {
        co_await refreshFacts();
        if (run->cancelled() || !self)
            co_return;
        assign(m_now, m_dependencies.clock());
        if (pause)
            co_await pause();
        else
            co_await run->sleep(pollInterval);
    }
}

QCoro::Task<> WelcomeViewModel::refreshFacts() {
    const QPointer self(this);
    const WorkUnderWay::Token working = m_work.begin();
    co_await refreshDeveloperTools();
    if (!self)
        co_return;
    // A server that does not run or answer changes nothing: no fact, no error, no landing. One that does
    // not run is not even asked, so a stopped server costs no requests, and another program holding its
    // port is never sent any.
    if (m_dependencies.serverRunning && !m_dependencies.serverRunning())
        co_return;
    const SetupClient client = this->client();
    const auto info = co_await client.load();
    if (!self || !info)
        co_return;
    const auto agents = co_await client.loadAgents();
    if (!self || !agents)
        co_return;
    const auto devices = co_await client.listPairedDevices();
    if (!self || !devices)
        co_return;

    const QList<PairedDevice> phones = WelcomeFlow::phones(*devices);
    assign(m_setupInfo, std::optional(*info));
    assign(m_agents, std::optional(*agents));
    assign(m_pairedDeviceName, phones.isEmpty() ? std::nullopt : std::optional(phones.first().name));
    assign(m_glassesPaired, std::ranges::any_of(*devices, &PairedDevice::isGlasses));
    assign(m_serverReady, true);
    assign(m_facts,
           WelcomeFacts{
               .folderChosen = info->projectsConfigured.value_or(false),
               .agentSignedIn = agents->anySignedIn(),
               .phonePaired = !phones.isEmpty(),
               .developerToolsSettled = letsSetupContinue(m_toolsStage),
               .folderAccessSettled = FolderAccess::isSettled(m_folderAnswers, m_folderAccessDeclined),
           });
    if (agents->anySignedIn())
        assign(m_challenge, std::optional<CodexLoginChallenge>());

    // Looked at before the landing below moves the step: the first code comes one cycle later.
    if (m_step == WelcomeStep::phone) {
        const auto code = co_await client.loadPairingCode();
        if (!self)
            co_return;
        assign(m_pairingCode, code ? *code : std::nullopt);
    }
    if (m_landedOnce) {
        advanceFromCompleted();
    } else {
        m_landedOnce = true;
        assign(m_step, WelcomeFlow::firstIncompleteStep(m_facts));
    }
}

// Once ready, the tools are never looked for again in this process; the tools step stays part of the
// welcome for the rest of it when the first look did not find them.
QCoro::Task<> WelcomeViewModel::refreshDeveloperTools() {
    if (m_toolsStage == DeveloperToolsStage::ready)
        co_return;
    const QPointer self(this);
    const std::shared_ptr<DeveloperToolsService> tools = m_dependencies.developerTools;
    const DeveloperToolsStatus status = co_await tools->check();
    if (!self)
        co_return;
    const DeveloperToolsStage stage = DeveloperTools::stage(
        status, m_toolsInstallStartedAt, tools->installerRunning(), m_dependencies.clock());
    if (m_toolsStage == DeveloperToolsStage::checking)
        assign(m_showsToolsStep, stage != DeveloperToolsStage::ready);
    assign(m_toolsInstaller, tools->installer());
    assign(m_toolsStage, stage);
}

void WelcomeViewModel::advanceFromCompleted() {
    if (m_step == WelcomeStep::done || !WelcomeFlow::isComplete(m_step, m_facts))
        return;
    assign(m_step, WelcomeFlow::stepAfterCompleting(m_step, m_facts));
}

template <typename T, typename Then>
QCoro::Task<> WelcomeViewModel::act(bool setsBusy, SetupClient::Result<T> call, Then onSuccess) {
    const QPointer self(this);
    const WorkUnderWay::Token working = m_work.begin();
    if (setsBusy)
        assign(m_busy, true);
    const auto result = co_await std::move(call);
    if (!self)
        co_return;
    if (result) {
        assign(m_actionError, std::optional<QString>());
        if constexpr (std::is_void_v<T>)
            co_await onSuccess();
        else
            co_await onSuccess(*result);
    } else {
        assign(m_actionError, std::optional(result.error().message()));
    }
    if (self && setsBusy)
        assign(m_busy, false);
}

// With nothing to install them with, an install would only end as a closed installer: the tools stay
// missing, and the step's words say how to get them.
void WelcomeViewModel::installDeveloperTools() {
    if (m_toolsInstaller == DeveloperToolsInstaller::none)
        return;
    m_toolsInstallStartedAt = m_dependencies.clock();
    assign(m_toolsStage, DeveloperToolsStage::installing);
    [](QPointer<WelcomeViewModel> self, std::shared_ptr<DeveloperToolsService> tools,
       [[maybe_unused]] WorkUnderWay::Token working) -> QCoro::Task<> {
        co_await tools->install();
        if (self)
            co_await self->refreshFacts();
    }(this, m_dependencies.developerTools, m_work.begin());
}

void WelcomeViewModel::chooseFolder() {
    if (!m_dependencies.chooseFolder)
        return;
    if (const std::optional<QString> path = m_dependencies.chooseFolder())
        submitFolder(*path);
}

// Each action hands its call to `act` from plain code: GCC 12 mishandles the lifetimes of calls built
// inside a co_await expression (a conditional choosing between two calls was destroyed twice).
void WelcomeViewModel::submitFolder(const QString& path) {
    act(true, client().chooseProjectFolder(path),
        [this](const ProjectFolderOutcome& outcome) -> QCoro::Task<> {
            assign(m_folderOutcome, std::optional(outcome));
            co_await refreshFacts();
            advanceFromCompleted();
        });
}

void WelcomeViewModel::allowFolderAccess() {
    if (m_askingFolder)
        return; // one asking pass at a time
    askEveryFolder();
}

QCoro::Task<> WelcomeViewModel::askEveryFolder() {
    const QPointer self(this);
    const WorkUnderWay::Token working = m_work.begin();
    const std::shared_ptr<FolderAccessService> access = m_dependencies.folderAccess;
    for (const ProtectedFolder folder : ProtectedFolders::all) {
        assign(m_askingFolder, std::optional(folder));
        const FolderAccessAnswer answer = co_await access->ask(folder);
        if (!self)
            co_return;
        FolderAccessAnswers answers = m_folderAnswers;
        answers.insert(folder, answer);
        assign(m_folderAnswers, answers);
        // Stored after each answer: an answer is never lost to a quit halfway through.
        m_dependencies.defaults->setValue(FolderAccess::storedAnswersKey.toString(),
                                          FolderAccess::stored(answers));
    }
    assign(m_askingFolder, std::optional<ProtectedFolder>());
    co_await refreshFacts();
}

void WelcomeViewModel::declineFolderAccess() {
    m_folderAccessDeclined = true;
    m_dependencies.defaults->setValue(FolderAccess::declinedKey.toString(), true);
    Q_EMIT changed(); // the step's keys follow at once, whether or not the server answers the read
    refreshFacts();
}

void WelcomeViewModel::startCodexLogin() {
    act(true, client().startCodexLogin(), [this](const CodexLoginChallenge& challenge) -> QCoro::Task<> {
        assign(m_challenge, std::optional(challenge));
        co_return;
    });
}

void WelcomeViewModel::cancelCodexLogin() {
    if (!m_challenge)
        return;
    const QString loginId = m_challenge->loginId;
    assign(m_challenge, std::optional<CodexLoginChallenge>());
    // Its answer changes nothing here; it is still waited for at a quit.
    [](SetupClient::Result<void> call, [[maybe_unused]] WorkUnderWay::Token working) -> QCoro::Task<> {
        co_await std::move(call);
    }(client().cancelCodexLogin(loginId), m_work.begin());
}

// The key goes exactly as typed.
void WelcomeViewModel::saveClaudeKey(const QString& key) {
    act(true, client().saveClaudeKey(key), [this] { return afterKeySaved(); });
}

void WelcomeViewModel::saveCodexKey(const QString& key) {
    act(true, client().saveCodexKey(key), [this] { return afterKeySaved(); });
}

QCoro::Task<> WelcomeViewModel::afterKeySaved() {
    co_await refreshFacts();
    advanceFromCompleted();
}

void WelcomeViewModel::newPairingCode() {
    act(false, client().createPairingCode(), [this](const PairingCode& code) -> QCoro::Task<> {
        assign(m_pairingCode, std::optional(code));
        co_return;
    });
}

void WelcomeViewModel::goBackToSkipped() {
    const QList<WelcomeStep> skipped = WelcomeFinish::skippedSteps(m_facts);
    if (!skipped.isEmpty())
        assign(m_step, skipped.first());
}

// Skipping ignores the facts; a step already complete is passed at the next refresh.
void WelcomeViewModel::skip() {
    if (const std::optional<WelcomeStep> next = WelcomeFlow::next(m_step))
        assign(m_step, *next);
}

void WelcomeViewModel::finish() {
    m_dependencies.defaults->setValue(WelcomeLaunch::completedKey.toString(), true);
    assign(m_completed, true);
}

} // namespace corvane
