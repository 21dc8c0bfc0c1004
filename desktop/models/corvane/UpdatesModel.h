#pragma once

#include <corvane/shell/InfoDictionary.h>
#include <corvane/shell/UpdateKey.h>
#include <corvane/shell/UpdateReminder.h>
#include <corvane/shell/UpdateSettings.h>

#include <QObject>

#include <functional>

namespace corvane {

// Whether this copy updates itself, what the updater has to remind the person of, and the menu's update
// key made from both. The updater reports into it; until one runs, the key stays disabled and shows
// only the version.
class UpdatesModel : public QObject {
    Q_OBJECT
public:
    // `note` writes a line to the system log; nothing: the line goes nowhere.
    explicit UpdatesModel(const InfoDictionary& info, std::function<void()> check = {},
                          std::function<void(const QString&)> note = {}, QObject* parent = nullptr);

    const UpdateSettings& settings() const { return m_settings; }
    const UpdateReminder& reminder() const { return m_reminder; }
    bool canCheckForUpdates() const { return m_canCheckForUpdates; }
    UpdateKey key() const { return UpdateKey::from(m_reminder, m_canCheckForUpdates, m_settings.version); }
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

Q_SIGNALS:
    void changed();

private:
    UpdateSettings m_settings;
    UpdateReminder m_reminder;
    bool m_canCheckForUpdates = false;
    bool m_isPreview = false;
    std::function<void()> m_check;
    std::function<void(const QString&)> m_note;
};

} // namespace corvane
