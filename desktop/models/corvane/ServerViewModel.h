#pragma once

#include <corvane/setup/HTTPTransport.h>
#include <corvane/setup/PairingCode.h>
#include <corvane/setup/SetupClient.h>
#include <corvane/setup/VoiceStatus.h>
#include <corvane/shell/Defaults.h>
#include <corvane/shell/Environment.h>
#include <corvane/shell/KeepAwake.h>
#include <corvane/shell/LoginItemController.h>
#include <corvane/status/DialInstructions.h>
#include <corvane/status/MenuStatus.h>
#include <corvane/supervision/CommandRunner.h>
#include <corvane/supervision/LocalAdminSecret.h>
#include <corvane/supervision/LoginShellPathOnce.h>
#include <corvane/supervision/NetworkPreference.h>
#include <corvane/supervision/PlanBuildError.h>
#include <corvane/supervision/ServerLaunchPlan.h>
#include <corvane/supervision/ServerState.h>
#include <corvane/supervision/ServerSupervisor.h>
#include <corvane/support/WorkUnderWay.h>

#include <corvane/SleepRun.h>

#include <QObject>
#include <QPointer>
#include <qcorotask.h>

#include <chrono>
#include <expected>
#include <functional>
#include <memory>
#include <optional>

namespace corvane {

// The one model behind the menu: starts the local server, follows its supervisor, restarts it for a
// network change, and while it runs reads the setup API on a one-second clock for the phone's
// dialling instructions, the pairing code, the voice model and the server's keep-awake wish. Every
// published field has a change signal; `changed()` follows any of them. Main thread only.
class ServerViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(corvane::ServerState state READ state NOTIFY stateChanged)
    Q_PROPERTY(std::optional<QString> setupProblem READ setupProblem NOTIFY setupProblemChanged)
    Q_PROPERTY(
        std::optional<corvane::DialInstructions> instructions READ instructions NOTIFY instructionsChanged)
    Q_PROPERTY(std::optional<corvane::PairingCode> pairingCode READ pairingCode NOTIFY pairingCodeChanged)
    Q_PROPERTY(std::optional<QString> readProblem READ readProblem NOTIFY readProblemChanged)
    Q_PROPERTY(std::optional<corvane::VoiceStatus> voice READ voice NOTIFY voiceChanged)
    Q_PROPERTY(std::chrono::system_clock::time_point now READ now NOTIFY nowChanged)
    Q_PROPERTY(bool keepingAwake READ keepingAwake NOTIFY keepingAwakeChanged)
    Q_PROPERTY(
        corvane::NetworkPreference networkPreference READ networkPreference NOTIFY networkPreferenceChanged)
    Q_PROPERTY(
        bool isApplyingNetworkChange READ isApplyingNetworkChange NOTIFY isApplyingNetworkChangeChanged)
    Q_PROPERTY(bool startsAtLogin READ startsAtLogin NOTIFY startsAtLoginChanged)
    Q_PROPERTY(bool loginNeedsApproval READ loginNeedsApproval NOTIFY loginNeedsApprovalChanged)
    Q_PROPERTY(QString loginMessage READ loginMessage NOTIFY loginMessageChanged)
    Q_PROPERTY(std::optional<QString> loginProblem READ loginProblem NOTIFY loginProblemChanged)

public:
    using Clock = std::chrono::system_clock;
    // How long a freshly launched server is given to start listening before not reaching it is a problem.
    static constexpr std::chrono::seconds startUpTime{5};

    // Where the server may come from; the platform's queries are passed in so tests can stand in.
    struct PlanSources {
        QString bundlePath;
        std::optional<QString> bundledRepoRoot;
        QString home;
        std::function<bool(const QString&)> fileExists;
        std::function<bool(const QString&)> directoryExists;
        std::function<bool(const QString&)> isExecutable;
    };

    // Everything the model talks to. The application fills it with the platform's adapters.
    struct Dependencies {
        std::shared_ptr<Defaults> defaults;
        std::optional<LocalAdminSecret> localAdmin;
        std::unique_ptr<ServerSupervisor> supervisor;
        std::shared_ptr<CommandRunner> shellRunner;
        std::shared_ptr<LoginItemService> loginItems;
        std::shared_ptr<SleepAssertions> sleepAssertions;
        std::function<std::shared_ptr<HTTPTransport>()> transport; // one per client
        std::function<Environment()> environment;                  // read afresh at each use
        PlanSources planSources;
        std::function<Clock::time_point()> clock;
        // Waits one tick of the refresh clock; nothing: a one-second timer that a cancel ends at once.
        std::function<QCoro::Task<>()> tick;
    };

    explicit ServerViewModel(Dependencies dependencies, QObject* parent = nullptr);
    ~ServerViewModel() override;

    const ServerState& state() const { return m_state; }
    const std::optional<QString>& setupProblem() const { return m_setupProblem; }
    const std::optional<DialInstructions>& instructions() const { return m_instructions; }
    const std::optional<PairingCode>& pairingCode() const { return m_pairingCode; }
    const std::optional<QString>& readProblem() const { return m_readProblem; }
    const std::optional<VoiceStatus>& voice() const { return m_voice; }
    Clock::time_point now() const { return m_now; }
    bool keepingAwake() const { return m_keepingAwake; }
    NetworkPreference networkPreference() const { return m_networkPreference; }
    bool isApplyingNetworkChange() const { return m_isApplyingNetworkChange; }
    bool startsAtLogin() const { return m_startsAtLogin; }
    bool loginNeedsApproval() const { return m_loginNeedsApproval; }
    const QString& loginMessage() const { return m_loginMessage; }
    const std::optional<QString>& loginProblem() const { return m_loginProblem; }

    MenuStatus menuStatus() const;
    ServerSupervisor& supervisor() const { return *m_supervisor; }
    LoginItemController& loginItem() { return m_loginItem; }
    const std::optional<LocalAdminSecret>& localAdmin() const { return m_dependencies.localAdmin; }
    bool isQuitting() const { return m_isQuitting; }
    void setQuitting(bool quitting) { m_isQuitting = quitting; }
    bool isClockRunning() const { return m_clock != nullptr; }
    // Whether a start or a network change is still making its plan (which may wait for the login shell).
    bool isMakingAPlan() const { return !m_plans.isIdle(); }
    // The login shell's search path, once a start has asked for it; empty before, or when it failed.
    QString loginShellPath() const {
        const std::optional<LoginShellPathResult>& known = m_loginShell.known();
        return known && known->path() ? *known->path() : QString();
    }

    // Starts the server unless a start is already under way.
    void start();
    // Stores the choice and, when the server runs, restarts it with the new exposure.
    void setNetworkPreference(NetworkPreference preference);
    // Reads again everything the menu shows; called whenever the menu is shown.
    void refresh();
    void newPairingCode();
    // Stops the server for good, waits until it has exited, then calls `then`.
    void quitAfterServerStops(std::function<void()> then);
    // Hands the server's wish to the keep-awake holder.
    void applyKeepAwake(std::optional<bool> serverWish);
    // Republishes the login item's readouts, after the menu has acted on it.
    void publishLoginItem();
    // Ends the refresh clock; it makes no more requests.
    void cancelRefresh();

    std::expected<ServerLaunchPlan, PlanBuildError> makePlan(const LoginShellPathResult& loginShell) const;

Q_SIGNALS:
    void stateChanged();
    void setupProblemChanged();
    void instructionsChanged();
    void pairingCodeChanged();
    void readProblemChanged();
    void voiceChanged();
    void nowChanged();
    void keepingAwakeChanged();
    void networkPreferenceChanged();
    void isApplyingNetworkChangeChanged();
    void startsAtLoginChanged();
    void loginNeedsApprovalChanged();
    void loginMessageChanged();
    void loginProblemChanged();
    void changed();

private:
    // Taken when a read begins: whether, when its answer comes, the model still exists and the server
    // is still in the same run. An answer from an earlier run is dropped.
    struct ReadGuard {
        QPointer<ServerViewModel> model;
        quint64 run = 0;
        bool current() const { return model && model->m_run == run; }
    };
    ReadGuard beginRead() { return {this, m_run}; }

    template <typename T>
    void assign(T& field, T value, void (ServerViewModel::*signal)());

    SetupClient client() const;
    void serverStateChanged(const ServerState& newState);
    void startClock();
    QCoro::Task<> launch();
    // The login shell's search path (asked once), then a plan; one that cannot be built is the setup
    // problem, and one that can clears it.
    QCoro::Task<std::optional<ServerLaunchPlan>> planWithLoginShell();
    QCoro::Task<> applyNetworkChange();
    QCoro::Task<> reloadEverything();
    QCoro::Task<> reloadVoiceIfWorking();
    QCoro::Task<> reloadPairingCodeOnly();
    QCoro::Task<> reloadKeepAwakeWish();
    QCoro::Task<> createPairingCode();
    static QCoro::Task<> runClock(QPointer<ServerViewModel> model, std::shared_ptr<SleepRun> run,
                                  std::function<QCoro::Task<>()> tick);

    ServerState m_state;
    std::optional<QString> m_setupProblem;
    std::optional<DialInstructions> m_instructions;
    std::optional<PairingCode> m_pairingCode;
    std::optional<QString> m_readProblem;
    std::optional<VoiceStatus> m_voice;
    Clock::time_point m_now;
    Clock::time_point m_runStartedAt;
    bool m_keepingAwake = false;
    NetworkPreference m_networkPreference = NetworkPreferences::safeDefault;
    bool m_isApplyingNetworkChange = false;
    bool m_startsAtLogin = false;
    bool m_loginNeedsApproval = false;
    QString m_loginMessage;
    std::optional<QString> m_loginProblem;

    Dependencies m_dependencies;
    LoginShellPathOnce m_loginShell;
    bool m_isLaunching = false;
    // The plans being made (each may wait for the login shell); the quit waits for them.
    WorkUnderWay m_plans;
    KeepAwake m_keepAwake;
    std::unique_ptr<ServerSupervisor> m_supervisor;
    LoginItemController m_loginItem;
    std::shared_ptr<SleepRun> m_clock;
    bool m_isQuitting = false;
    // Changes whenever the server leaves `running`.
    quint64 m_run = 0;
};

} // namespace corvane
