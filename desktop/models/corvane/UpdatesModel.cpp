#include "UpdatesModel.h"

namespace corvane {

UpdatesModel::UpdatesModel(const InfoDictionary& info, std::function<void()> check,
                           std::function<void(const QString&)> note, QObject* parent)
    : QObject(parent)
    , m_settings(UpdateSettings::from(info))
    , m_check(std::move(check))
    , m_note(std::move(note)) {}

void UpdatesModel::setCanCheckForUpdates(bool canCheck) {
    if (std::exchange(m_canCheckForUpdates, canCheck) != canCheck)
        Q_EMIT changed();
}

void UpdatesModel::setReminder(const UpdateReminder& reminder) {
    if (std::exchange(m_reminder, reminder) != reminder)
        Q_EMIT changed();
}

void UpdatesModel::updateWillInstallOnQuit(const QString& displayVersion, const QString& version) {
    UpdateReminder reminder = m_reminder;
    reminder.updateWillInstallOnQuit();
    setReminder(reminder);
    if (m_note)
        m_note(QStringLiteral("An update to %1 (build %2) is ready; it installs at the next quit")
                   .arg(displayVersion, version));
}

void UpdatesModel::check() {
    if (m_isPreview || !m_canCheckForUpdates || !m_check)
        return;
    m_check();
}

} // namespace corvane
