#include "UpdatesModel.h"

namespace corvane {

UpdatesModel::UpdatesModel(const InfoDictionary& info, std::function<void()> check, QObject* parent)
    : QObject(parent)
    , m_settings(UpdateSettings::from(info))
    , m_check(std::move(check)) {}

void UpdatesModel::setCanCheckForUpdates(bool canCheck) {
    if (std::exchange(m_canCheckForUpdates, canCheck) != canCheck)
        Q_EMIT changed();
}

void UpdatesModel::setReminder(const UpdateReminder& reminder) {
    if (std::exchange(m_reminder, reminder) != reminder)
        Q_EMIT changed();
}

void UpdatesModel::check() {
    if (m_isPreview || !m_canCheckForUpdates || !m_check)
        return;
    m_check();
}

} // namespace corvane
