#pragma once

#include <corvane/shell/Defaults.h>
#include <corvane/support/FileFetcher.h>
#include <corvane/support/WorkUnderWay.h>
#include <corvane/updates/ApplicationFolderSwap.h>
#include <corvane/updates/UpdateSettings.h>
#include <corvane/updates/UpdateSignatureVerifier.h>
#include <corvane/updates/UpdateUnpacker.h>
#include <corvane/updates/Updater.h>

#include <QTimer>

#include <chrono>
#include <memory>

namespace corvane {

// The updater of a copy that lives in its own application folder: reads a signed appcast feed, offers
// the newest version, downloads its archive, refuses one whose Ed25519 signature does not match the
// application's public key, unpacks it beside the application folder and swaps the folders when the
// application quits. A check the updater starts by itself stays silent unless it finds an update the
// person has not skipped; one the person asks for always answers.
class AppcastUpdater final : public Updater {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds standardInterval = std::chrono::hours(24);
    // Where a skipped version is remembered.
    static constexpr QStringView skippedVersionKey = u"SUSkippedVersion";

    struct Application {
        UpdateSource source;
        QString bundleIdentifier;
        QString version;      // compared with what the feed offers
        QString shortVersion; // shown to people
        QString folder;
    };
    struct Seams {
        std::shared_ptr<FileFetcher> fetcher;
        std::shared_ptr<UpdateUnpacker> unpacker;
        std::shared_ptr<UpdateSignatureVerifier> verifier;
        std::shared_ptr<Defaults> defaults;
    };

    AppcastUpdater(Application application, Seams seams,
                   std::chrono::milliseconds checkInterval = standardInterval, QObject* parent = nullptr);

    void startUpdater() override;
    bool canCheckForUpdates() const override { return m_started && !m_windingDown; }
    void checkForUpdates() override;
    std::optional<UpdateAlert> alert() const override { return m_alert; }
    void answer(UpdateAnswer answer) override;
    void windDown() override;
    QCoro::Task<> settled() override;
    std::expected<std::optional<AppcastItem>, QString> installOnQuit() override;

private:
    enum class Session { none, checking, offered, downloading, ready, ending };

    QCoro::Task<> check(int generation, WorkUnderWay::Token working);
    QCoro::Task<> fetch(AppcastItem item, int generation, WorkUnderWay::Token working);
    void show(std::optional<UpdateAlert> alert);
    // Ends the session; its alert, if one was shown, goes away.
    void finishSession();
    // The session failed: a person who is looking is told in `words`; the log learns `why`.
    void fail(const QString& words, const QString& why);
    // Stops whatever runs, so that its answer, when it comes, is dropped.
    void abandonWork();
    void scheduledCheck();
    void beginCheck(bool userInitiated);

    Application m_application;
    Seams m_seams;
    ApplicationFolderSwap m_folders;
    QTimer m_schedule;
    WorkUnderWay m_work;
    Session m_session = Session::none;
    bool m_userInitiated = false;
    std::optional<UpdateAlert> m_alert;
    // The update that installs at the next quit, unpacked into this folder.
    std::optional<AppcastItem> m_waiting;
    QString m_waitingFolder;
    int m_generation = 0;
    bool m_started = false;
    bool m_windingDown = false;
};

} // namespace corvane
