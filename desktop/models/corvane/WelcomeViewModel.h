#pragma once

#include <corvane/setup/AgentsSnapshot.h>
#include <corvane/setup/CodexLoginChallenge.h>
#include <corvane/setup/HTTPTransport.h>
#include <corvane/setup/PairingCode.h>
#include <corvane/setup/ProjectFolderOutcome.h>
#include <corvane/setup/SetupClient.h>
#include <corvane/setup/SetupInfo.h>
#include <corvane/shell/Defaults.h>
#include <corvane/shell/Environment.h>
#include <corvane/supervision/LocalAdminSecret.h>
#include <corvane/support/WorkUnderWay.h>
#include <corvane/welcome/DeveloperToolsService.h>
#include <corvane/welcome/FolderAccessService.h>
#include <corvane/welcome/WelcomeFlow.h>
#include <corvane/welcome/WelcomeReadout.h>

#include <corvane/SleepRun.h>

#include <QObject>
#include <qcorotask.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace corvane {

// The one model behind the welcome: it learns the facts from the server, the developer tools and the
// folder answers every two seconds while the welcome is on screen, lands the person on the first
// unfinished step once, moves on by itself as steps complete, and carries out the person's actions.
// It shows nothing itself; every change is announced by `changed()`.
class WelcomeViewModel : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::system_clock;
    static constexpr std::chrono::milliseconds pollInterval{2000};

    struct Dependencies {
        std::shared_ptr<Defaults> defaults;
        std::optional<LocalAdminSecret> localAdmin;
        std::function<std::shared_ptr<HTTPTransport>()> transport; // one per client
        std::function<Environment()> environment;                  // read afresh at each use
        std::shared_ptr<DeveloperToolsService> developerTools;
        std::shared_ptr<FolderAccessService> folderAccess;
        std::function<Clock::time_point()> clock;
        // The poll's pause between cycles; nothing: two seconds, which a stop ends at once.
        std::function<QCoro::Task<>()> pause;
        // Whether the server runs; the welcome asks nothing of a server that does not (nothing: it may).
        std::function<bool()> serverRunning;
        // The folder chooser: the chosen folder's path, or nothing when the person cancels.
        std::function<std::optional<QString>()> chooseFolder;
    };

    explicit WelcomeViewModel(Dependencies dependencies, QObject* parent = nullptr);
    ~WelcomeViewModel() override;

    WelcomeStep step() const { return m_step; }
    const WelcomeFacts& facts() const { return m_facts; }
    const std::optional<SetupInfo>& setupInfo() const { return m_setupInfo; }
    const std::optional<AgentsSnapshot>& agents() const { return m_agents; }
    const std::optional<PairingCode>& pairingCode() const { return m_pairingCode; }
    const std::optional<QString>& pairedDeviceName() const { return m_pairedDeviceName; }
    const std::optional<CodexLoginChallenge>& challenge() const { return m_challenge; }
    const std::optional<ProjectFolderOutcome>& folderOutcome() const { return m_folderOutcome; }
    const std::optional<QString>& actionError() const { return m_actionError; }
    bool serverReady() const { return m_serverReady; }
    bool busy() const { return m_busy; }
    Clock::time_point now() const { return m_now; }
    DeveloperToolsStage toolsStage() const { return m_toolsStage; }
    // What the tools can be installed with, as the last check found; none before the first.
    DeveloperToolsInstaller toolsInstaller() const { return m_toolsInstaller; }
    bool showsToolsStep() const { return m_showsToolsStep; }
    const FolderAccessAnswers& folderAnswers() const { return m_folderAnswers; }
    bool folderAccessDeclined() const { return m_folderAccessDeclined; }
    const std::optional<ProtectedFolder>& askingFolder() const { return m_askingFolder; }
    bool glassesPaired() const { return m_glassesPaired; }
    bool isPolling() const { return m_poll != nullptr; }
    // The folder chooser of the face that shows the welcome.
    void setFolderChooser(std::function<std::optional<QString>()> chooser) {
        m_dependencies.chooseFolder = std::move(chooser);
    }
    // Finished now or in an earlier run.
    bool isCompleted() const { return m_completed; }
    QList<ReadoutRow> readout() const;

    // Polls while the welcome is on screen.
    void start();
    void stop();

    void installDeveloperTools();
    void chooseFolder();
    // The folder chosen some other way (typed in the terminal).
    void submitFolder(const QString& path);
    void allowFolderAccess();
    void declineFolderAccess();
    void startCodexLogin();
    void cancelCodexLogin();
    void saveClaudeKey(const QString& key);
    void saveCodexKey(const QString& key);
    void newPairingCode();
    void goBackToSkipped();
    void skip();
    void finish();

    // Reads everything once, as a poll cycle does.
    QCoro::Task<> refreshFacts();
    // Ends when no refresh or action is under way any more; a quit waits for it after `stop()`.
    QCoro::Task<> settled() const { return m_work.settled(); }

Q_SIGNALS:
    void changed();

private:
    template <typename T>
    void assign(T& field, T value);
    SetupClient client() const;
    QCoro::Task<> refreshDeveloperTools();
    void advanceFromCompleted();
    QCoro::Task<> poll(std::shared_ptr<SleepRun> run);
    QCoro::Task<> afterKeySaved();
    QCoro::Task<> askEveryFolder();
    // Runs an action's call: busy while it runs when asked, its error's words on failure.
    template <typename T, typename Then>
    QCoro::Task<> act(bool setsBusy, SetupClient::Result<T> call, Then onSuccess);

    Dependencies m_dependencies;
    WelcomeStep m_step = WelcomeStep::folder;
    WelcomeFacts m_facts{.developerToolsSettled = true, .folderAccessSettled = true};
    std::optional<SetupInfo> m_setupInfo;
    std::optional<AgentsSnapshot> m_agents;
    std::optional<PairingCode> m_pairingCode;
    std::optional<QString> m_pairedDeviceName;
    std::optional<CodexLoginChallenge> m_challenge;
    std::optional<ProjectFolderOutcome> m_folderOutcome;
    std::optional<QString> m_actionError;
    bool m_serverReady = false;
    bool m_busy = false;
    Clock::time_point m_now;
    DeveloperToolsStage m_toolsStage = DeveloperToolsStage::checking;
    DeveloperToolsInstaller m_toolsInstaller = DeveloperToolsInstaller::none;
    bool m_showsToolsStep = false;
    std::optional<Clock::time_point> m_toolsInstallStartedAt;
    FolderAccessAnswers m_folderAnswers;
    std::optional<ProtectedFolder> m_askingFolder;
    bool m_folderAccessDeclined = false;
    bool m_glassesPaired = false;
    std::shared_ptr<SleepRun> m_poll;
    WorkUnderWay m_work;
    bool m_landedOnce = false;
    bool m_completed = false;
};

} // namespace corvane
