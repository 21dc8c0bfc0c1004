#include "KestrinTray.h"

#include <corvane/ServerViewModel.h>
#include <corvane/UpdatesModel.h>
#include <corvane/menu/MenuContent.h>
#include <corvane/tray/KestrinIcon.h>
#include <corvane/tray/TrayPopup.h>

#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

KestrinTray::TrayCheck KestrinTray::defaultTrayCheck() {
    return [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
}

KestrinTray::KestrinTray(ServerViewModel& model, UpdatesModel& updates, QObject* parent,
                         TrayCheck trayAvailable)
    : QObject(parent)
    , m_model(model)
    , m_updates(updates)
    , m_trayAvailable(std::move(trayAvailable)) {
    m_panel = std::make_unique<TrayPopup>(
        model, updates, m_trayAvailable() ? TrayPopup::Kind::popup : TrayPopup::Kind::window);
    m_panel->setWindowIcon(kestrinIcon());
    connect(&m_panel->content(), &menu::MenuContent::openWindowRequested, this, [this](const QString& id) {
        m_panel->hide();
        Q_EMIT openWindowRequested(id);
    });
    connect(&m_panel->content(), &menu::MenuContent::quitRequested, this, &KestrinTray::quitRequested);

    // The plain menu: the same rows, for panels that show only menus.
    m_menu = std::make_unique<QMenu>();
    for (const auto& [title, window] : menu::MenuContent::windowRows)
        m_menu->addAction(title.toString(), this,
                          [this, id = window.toString()] { Q_EMIT openWindowRequested(id); });
    m_update = m_menu->addAction(QString(), this, [this] { m_updates.check(); });
    m_menu->addSeparator();
    m_start = m_menu->addAction(u"Start"_s, this, [this] { m_model.start(); });
    m_stop = m_menu->addAction(u"Stop"_s, this, [this] { m_model.supervisor().stop(); });
    m_menu->addSeparator();
    m_menu->addAction(u"Quit"_s, this, &KestrinTray::quitRequested);
    connect(&m_model, &ServerViewModel::stateChanged, this, &KestrinTray::syncMenu);
    connect(&m_updates, &UpdatesModel::changed, this, &KestrinTray::syncMenu);
    connect(&m_model, &ServerViewModel::stateChanged, this, &KestrinTray::notifyFailure);
    syncMenu();

    m_icon = std::make_unique<QSystemTrayIcon>(kestrinIcon());
    m_icon->setToolTip(u"Kestrin"_s);
    m_icon->setContextMenu(m_menu.get());
    connect(m_icon.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    showPanel();
            });
    // Offered even without a tray: the icon docks in one as soon as it appears.
    m_icon->show();
    m_trayWait.setSingleShot(true);
}

KestrinTray::~KestrinTray() = default;

void KestrinTray::showPanel() {
    m_trayWait.stop(); // shown once, by whatever asked first
    if (!m_trayAvailable()) {
        m_panel->showAsWindow();
        return;
    }
    m_panel->setKind(TrayPopup::Kind::popup);
    // Some trays do not say where the icon is: the pointer that clicked it is beside it.
    QRect anchor = m_icon->geometry();
    if (!anchor.isValid())
        anchor = QRect(QCursor::pos(), QSize(1, 1));
    m_panel->showBeside(anchor);
}

void KestrinTray::showPanelUnlessTrayAppears(std::function<bool()> othersShowing,
                                             std::chrono::milliseconds wait) {
    m_trayWait.disconnect();
    connect(&m_trayWait, &QTimer::timeout, this, [this, othersShowing = std::move(othersShowing)] {
        if (!m_trayAvailable() && !othersShowing())
            showPanel();
    });
    m_trayWait.start(wait);
}

// A failure the supervisor gives up on (the crash budget spent, a busy port, a launch that failed) is
// said once on the desktop, with its own words: the panel may be closed for hours.
void KestrinTray::notifyFailure() {
    const std::optional<ServerFailure> failure = m_model.state().failure();
    if (!failure) {
        if (m_model.state().isRunning())
            m_failureNotified = false;
        return;
    }
    if (std::exchange(m_failureNotified, true))
        return;
    m_notifications.append(failure->message());
    m_icon->showMessage(u"Kestrin stopped"_s, m_notifications.last(), QSystemTrayIcon::Warning);
}

// Start and Stop as the panel's keys: each only when it can do something.
void KestrinTray::syncMenu() {
    const bool running = m_model.state().isRunning();
    m_start->setEnabled(!running);
    m_stop->setEnabled(running);
    const UpdateKey update = m_updates.key();
    m_update->setText(update.smallPrint ? update.title + u" · "_s + *update.smallPrint : update.title);
    m_update->setEnabled(update.enabled);
}

} // namespace corvane
