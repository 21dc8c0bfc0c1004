#include "UpdatesModel.h"

namespace corvane {

using namespace Qt::Literals::StringLiterals;

UpdatesModel::UpdatesModel(const InfoDictionary& info, std::unique_ptr<Updater> updater, Actions actions,
                           QObject* parent)
    : QObject(parent)
    , m_settings(UpdateSettings::from(info))
    , m_updater(std::move(updater))
    , m_actions(std::move(actions)) {
    if (m_updater)
        follow(*m_updater);
    if (!m_settings.updatesItself)
        return; // never started in this run: the key stays disabled
    if (m_actions.start)
        m_actions.start();
    else if (m_updater)
        m_updater->startUpdater();
}

UpdatesModel::UpdatesModel(const InfoDictionary& info, std::function<void()> check,
                           std::function<void(const QString&)> note, QObject* parent)
    : UpdatesModel(info, nullptr, {.start = [] {}, .check = std::move(check), .note = std::move(note)},
                   parent) {}

UpdatesModel::~UpdatesModel() = default;

UpdateKey UpdatesModel::key() const {
    if (m_settings.packaged)
        return UpdateKey::packagedCopy(m_settings.version);
    UpdateKey key = UpdateKey::from(m_reminder, m_canCheckForUpdates, m_settings.version);
    if (m_heldBack)
        key.smallPrint = UpdateKey::sharedFolderNote.toString();
    return key;
}

void UpdatesModel::holdBack() {
    if (std::exchange(m_heldBack, true))
        return;
    m_settings.updatesItself = false;
    if (m_updater)
        m_updater->windDown();
    setCanCheckForUpdates(false);
    note(UpdateWords::sharedFolder.toString());
    Q_EMIT changed();
}

void UpdatesModel::follow(Updater& updater) {
    m_canCheckForUpdates = updater.canCheckForUpdates();
    connect(&updater, &Updater::canCheckForUpdatesChanged, this, &UpdatesModel::setCanCheckForUpdates);
    connect(&updater, &Updater::willInstallUpdateOnQuit, this,
            [this](const AppcastItem& item) { updateWillInstallOnQuit(item.shortVersion, item.version); });
    const auto change = [this](auto&& how) {
        UpdateReminder reminder = m_reminder;
        how(reminder);
        setReminder(reminder);
    };
    connect(&updater, &Updater::userDidMakeChoice, this,
            [change](UpdateChoice choice, UpdateChoiceStage stage) {
                change([&](UpdateReminder& reminder) {
                    reminder.personAnswered(choice == UpdateChoice::dismiss &&
                                            stage == UpdateChoiceStage::installing);
                });
            });
    connect(&updater, &Updater::didAbortWithError, this, [this, change](const QString& why) {
        note(u"An update was refused or failed: %1"_s.arg(why));
        change([](UpdateReminder& reminder) { reminder.sessionFailed(); });
    });
    connect(&updater, &Updater::willShowUpdate, this, [change](bool userInitiated) {
        change([&](UpdateReminder& reminder) { reminder.alertWillShow(userInitiated); });
    });
    connect(&updater, &Updater::willFinishUpdateSession, this,
            [change] { change([](UpdateReminder& reminder) { reminder.sessionFinished(); }); });
    connect(&updater, &Updater::alertChanged, this, &UpdatesModel::alertChanged);
    connect(&updater, &Updater::quitRequested, this, &UpdatesModel::quitRequested);
}

void UpdatesModel::setCanCheckForUpdates(bool canCheck) {
    if (std::exchange(m_canCheckForUpdates, canCheck) != canCheck)
        Q_EMIT changed();
}

void UpdatesModel::setReminder(const UpdateReminder& reminder) {
    if (std::exchange(m_reminder, reminder) != reminder)
        Q_EMIT changed();
}

void UpdatesModel::note(const QString& text) const {
    if (m_actions.note)
        m_actions.note(text);
}

void UpdatesModel::updateWillInstallOnQuit(const QString& displayVersion, const QString& version) {
    UpdateReminder reminder = m_reminder;
    reminder.updateWillInstallOnQuit();
    setReminder(reminder);
    note(u"An update to %1 (build %2) is ready; it installs at the next quit"_s.arg(displayVersion, version));
}

void UpdatesModel::check() {
    if (m_isPreview || !m_canCheckForUpdates)
        return;
    if (m_actions.check)
        m_actions.check();
    else if (m_updater)
        m_updater->checkForUpdates();
}

std::optional<UpdateAlert> UpdatesModel::alert() const {
    return m_updater ? m_updater->alert() : std::nullopt;
}

void UpdatesModel::answer(UpdateAnswer answer) {
    if (m_updater && !m_isPreview)
        m_updater->answer(answer);
}

void UpdatesModel::windDown() {
    if (m_updater)
        m_updater->windDown();
}

QCoro::Task<> UpdatesModel::settled() {
    if (m_updater)
        co_await m_updater->settled();
}

void UpdatesModel::installOnQuit() {
    if (!m_updater)
        return;
    const std::expected<std::optional<AppcastItem>, QString> installed = m_updater->installOnQuit();
    if (!installed)
        note(u"The update could not be installed, so this copy stays: %1"_s.arg(installed.error()));
}

} // namespace corvane
