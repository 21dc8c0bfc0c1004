#pragma once

#include <corvane/glasses/AdbDownload.h>
#include <corvane/glasses/AdbLocator.h>
#include <corvane/glasses/AdbProvisioner.h>
#include <corvane/glasses/AdbRunner.h>
#include <corvane/glasses/BundledGlassesApp.h>
#include <corvane/glasses/GlassesHandshake.h>
#include <corvane/glasses/GlassesKeyLedger.h>
#include <corvane/glasses/GlassesReader.h>
#include <corvane/glasses/GlassesSetupStage.h>

#include <qcorotask.h>

#include <functional>
#include <memory>

namespace corvane {

// The state machine behind "Set up my glasses": find or fetch adb, read the glasses, install, update
// or repair the app, hand the glasses a way to the server and wait for them to connect. Every step
// publishes a stage with its words; nothing is thrown out of it. Main thread only; the steps of one
// setup run one after another.
class GlassesSetup {
public:
    static constexpr int defaultConnectionChecks = 30;

    struct Dependencies {
        std::function<AdbSource()> locate;
        std::function<std::shared_ptr<AdbRunner>(const QString& adbPath)> makeRunner;
        std::shared_ptr<GlassesToolProvider> provider;
        QString applicationSupport;
        BundledGlassesApp app;
        std::shared_ptr<GlassesServer> server;
        std::shared_ptr<GlassesKeyLedger> keys;
        // How many times to ask whether the glasses connected; not negative.
        int connectionChecks = defaultConnectionChecks;
        // Between two of those questions; nothing: a second.
        std::function<QCoro::Task<>()> pause;
        // Whether Google's helper runs on this computer's processor (it is made for x86-64 alone).
        bool helperRunsHere = AdbDownload::helperRunsHere();
    };

    explicit GlassesSetup(Dependencies dependencies);

    const GlassesSetupStage& stage() const { return m_stage; }
    // Called with every stage set, even one equal to the last.
    std::function<void(const GlassesSetupStage&)> onStageChange;

    // Starts, or starts over, from the button; nothing while busy.
    QCoro::Task<> begin();
    // The person agreed to download the helper.
    QCoro::Task<> confirmFetch();
    void declineFetch();
    // Back to the start when nothing runs.
    void reset();
    // The application is quitting: a fetch of the helper stops at once and a setup waiting for the
    // glasses stops waiting, so the quit does not wait for either; nothing more is done to the glasses.
    void windDown();

private:
    void setStage(GlassesSetupStage stage);
    QCoro::Task<> work(std::shared_ptr<AdbRunner> runner);
    QCoro::Task<GlassesSetupStage> connect(std::shared_ptr<AdbRunner> runner, std::optional<QString> serial,
                                           QString version, GlassesSetupResult onArrival);
    QCoro::Task<bool> arrived(QString deviceId);
    QCoro::Task<GlassesWifi> readWifi(std::shared_ptr<AdbRunner> runner);
    // What a command printed; nothing when it could not run.
    static QCoro::Task<QString> outputOf(std::shared_ptr<AdbRunner> runner, QStringList arguments);

    Dependencies m_dependencies;
    GlassesSetupStage m_stage;
    bool m_windingDown = false;
};

} // namespace corvane
