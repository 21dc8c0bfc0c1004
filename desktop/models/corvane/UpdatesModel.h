#pragma once

#include <corvane/shell/InfoDictionary.h>
#include <corvane/updates/UpdateKey.h>
#include <corvane/updates/UpdateReminder.h>
#include <corvane/updates/UpdateSettings.h>
#include <corvane/updates/Updater.h>

#include <QObject>

#include <functional>
#include <memory>

namespace corvane {

// Whether this copy updates itself, what the updater has to remind the person of, and the menu's update
// key made from both. The updater reports into it; until one runs, the key stays disabled and shows
// only the version.
class UpdatesModel : public QObject {
    Q_OBJECT
public:
    // Replacements for what the model does with its updater; each left empty keeps the updater's own.
    struct Actions {
        std::function<void()> start;
        std::function<void()> check;
        // Writes a line to the system log; nothing: the line goes nowhere.
        std::function<void(const QString&)> note;
    };

    // Starts `updater` (when there is one) only for a copy that updates itself.
    UpdatesModel(const InfoDictionary& info, std::unique_ptr<Updater> updater, Actions actions = {},
                 QObject* parent = nullptr);
    // Without an updater: the key checks through `check`.
    explicit UpdatesModel(const InfoDictionary& info, std::function<void()> check = {},
                          std::function<void(const QString&)> note = {}, QObject* parent = nullptr);
    ~UpdatesModel() override;

    const UpdateSettings& settings() const { return m_settings; }
    const UpdateReminder& reminder() const { return m_reminder; }
    bool canCheckForUpdates() const { return m_canCheckForUpdates; }
    UpdateKey key() const;
    // Whether this copy has a feed but must not update itself: other accounts can change the folder it
    // is in, and could put a copy of their own in its place before a quit.
    bool heldBack() const { return m_heldBack; }
    // Keeps this copy from updating itself for that reason.
    void holdBack();
    // A preview's key does nothing when pressed.
    bool isPreview() const { return m_isPreview; }
    void setPreview(bool preview) { m_isPreview = preview; }

    // Mirrors the updater's own readiness to check.
    void setCanCheckForUpdates(bool canCheck);
    void setReminder(const UpdateReminder& reminder);
    // What the update key does when pressed.
    void check();
    // The updater has an update ready that installs when the application quits; the log says which.
    void updateWillInstallOnQuit(const QString& displayVersion, const QString& version);

    // What the updater shows the person now, and their answer to it.
    std::optional<UpdateAlert> alert() const;
    void answer(UpdateAnswer answer);

    // The application quits: the updater stops fetching, and its work ends.
    void windDown();
    QCoro::Task<> settled();
    // Puts a waiting update in place of this copy, at the very end of a quit; a failure is logged.
    void installOnQuit();

Q_SIGNALS:
    void changed();
    void alertChanged();
    // The person asked to quit so that the waiting update installs.
    void quitRequested();

private:
    void follow(Updater& updater);
    void note(const QString& text) const;

    UpdateSettings m_settings;
    UpdateReminder m_reminder;
    bool m_canCheckForUpdates = false;
    bool m_isPreview = false;
    bool m_heldBack = false;
    std::unique_ptr<Updater> m_updater;
    Actions m_actions;
};

} // namespace corvane
