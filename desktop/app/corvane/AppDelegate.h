#pragma once

#include <corvane/shell/LaunchFlags.h>

#include <corvane/AppBundle.h>
#include <corvane/ApprovalViewModel.h>
#include <corvane/GlassesViewModel.h>
#include <corvane/PreviewsSwitchViewModel.h>
#include <corvane/ServerLogModel.h>
#include <corvane/ServerViewModel.h>
#include <corvane/TerminationSignal.h>
#include <corvane/UpdatesModel.h>
#include <corvane/WelcomeViewModel.h>

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace corvane {

// The life of the application between start and exit: applies the test copy's environment, mints the
// one admin secret, builds the models, starts the server once launching has finished, turns SIGTERM
// into the held quit, and holds every quit until the server has stopped.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    // Paces the server model's refresh clock: each call waits one tick.
    using Tick = std::function<QCoro::Task<>()>;

    // Builds everything over the platform's services, for the application in `bundle`. The refresh
    // clock ticks once a second unless `tick` paces it (a soak runs a day of it in minutes).
    explicit AppDelegate(const AppBundle& bundle, Tick tick = {}, QObject* parent = nullptr);
    // `answerTerminate(true)` lets a held quit go ahead; the default ends the event loop.
    AppDelegate(std::unique_ptr<ServerViewModel> model, std::function<void(bool)> answerTerminate,
                const InfoDictionary& info = {}, QObject* parent = nullptr);
    ~AppDelegate() override;

    // This process's one admin secret, minted on first use; nothing if the system had no randomness.
    static const std::optional<LocalAdminSecret>& localAdmin();

    ServerViewModel& model() const { return *m_model; }
    UpdatesModel& updates() const { return *m_updates; }
    // The welcome's model; none when the delegate was given its server model (in tests).
    WelcomeViewModel* welcome() const { return m_welcome.get(); }
    // The agent-permission screen's model; none when the delegate was given its server model.
    ApprovalViewModel* approval() const { return m_approval.get(); }
    // The live-previews switch's model, built whether or not any face offers the switch; none when
    // the delegate was given its server model.
    PreviewsSwitchViewModel* previews() const { return m_previews.get(); }
    // The glasses window's model; none when the delegate was given its server model.
    GlassesViewModel* glasses() const { return m_glasses.get(); }
    // The server log's model; none when the delegate was given its server model.
    ServerLogModel* log() const { return m_log.get(); }
    // The switch's model for the faces: none unless this build offers the switch.
    PreviewsSwitchViewModel* offeredPreviews() const {
        return LaunchFlags::livePreviewsSwitch ? m_previews.get() : nullptr;
    }

    void applicationDidFinishLaunching();
    // Begins the held quit, once however often it is asked.
    void applicationShouldTerminate();
    void applicationWillTerminate();

private:
    AppDelegate(const AppBundle& bundle, std::shared_ptr<Defaults> defaults, Tick tick, QObject* parent);
    AppDelegate(std::unique_ptr<ServerViewModel> model, std::function<void(bool)> answerTerminate,
                const InfoDictionary& info, std::unique_ptr<Updater> updater, QObject* parent);
    QCoro::Task<> answerOnceSettled();

    std::unique_ptr<ServerViewModel> m_model;
    std::unique_ptr<UpdatesModel> m_updates;
    std::unique_ptr<WelcomeViewModel> m_welcome;
    std::unique_ptr<ApprovalViewModel> m_approval;
    std::unique_ptr<PreviewsSwitchViewModel> m_previews;
    std::unique_ptr<GlassesViewModel> m_glasses;
    std::unique_ptr<ServerLogModel> m_log;
    std::function<void(bool)> m_answerTerminate;
    std::unique_ptr<TerminationSignal> m_terminationSignal;
};

} // namespace corvane
