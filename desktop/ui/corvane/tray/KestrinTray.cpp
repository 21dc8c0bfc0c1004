#include "KestrinTray.h"

#include <corvane/shell/TrayIcon.h>

#include <corvane/ServerViewModel.h>
#include <corvane/UpdatesModel.h>
#include <corvane/menu/MenuContent.h>
#include <corvane/tray/KestrinIcon.h>
#include <corvane/tray/TrayPopup.h>

#include <QAccessible>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QLoggingCategory>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QtEndian>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

// How long a click on the icon takes to put the panel on screen: QT_LOGGING_RULES="kestrin.tray.info=true".
Q_LOGGING_CATEGORY(lcTray, "kestrin.tray", QtWarningMsg)

namespace {

// The icon at the sizes hosts ask for, as a StatusNotifierItem carries it: ARGB32, network byte order.
QList<TrayIcon::Pixmap> statusPixmaps() {
    QList<TrayIcon::Pixmap> sizes;
    for (const int side : {16, 22, 24, 32, 48, 64}) {
        QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
        square.fill(Qt::transparent);
        {
            QPainter painter(&square);
            kestrinIcon().paint(&painter, square.rect()); // centred, its proportions kept
        }
        const QImage image = square.convertToFormat(QImage::Format_ARGB32); // rows without padding
        QByteArray bytes(qsizetype(side) * side * 4, Qt::Uninitialized);
        qToBigEndian<quint32>(image.constBits(), qsizetype(side) * side, bytes.data());
        sizes.append({side, side, bytes});
    }
    return sizes;
}

// Where the pointer is, for a tray or host that does not say where its icon is: the click that asked
// for the panel was on the icon.
QRect pointerAnchor() {
    return {QCursor::pos(), QSize(1, 1)};
}

} // namespace

KestrinTray::TrayCheck KestrinTray::defaultTrayCheck() {
    return [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
}

KestrinTray::Placement KestrinTray::platformPlacement() {
    return QGuiApplication::platformName() == u"wayland"_s ? Placement::byCompositor : Placement::byKestrin;
}

KestrinTray::KestrinTray(ServerViewModel& model, UpdatesModel& updates, TrayIcon* statusIcon,
                         TrayCheck trayAvailable, Placement placement, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_updates(updates)
    , m_status(statusIcon)
    , m_trayAvailable(std::move(trayAvailable))
    , m_placement(placement)
    , m_screenReaderOn([] { return QAccessible::isActive(); }) {
    m_panel = std::make_unique<TrayPopup>(model, updates,
                                          trayShown() ? TrayPopup::Kind::popup : TrayPopup::Kind::window);
    connect(m_panel.get(), &TrayPopup::hidden, this, [this] { m_panelHidden.start(); });
    connect(m_panel.get(), &TrayPopup::closedAsWindow, this, [this] {
        if (!trayShown() && !std::exchange(m_toldHowToComeBack, true))
            Q_EMIT closedWithoutTray();
    });
    m_panel->setWindowIcon(kestrinIcon());
    m_panel->content().installEventFilter(this);
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

    if (m_status) {
        m_status->setIcon(statusPixmaps());
        m_status->setToolTip(u"Kestrin"_s);
        connect(m_status, &TrayIcon::shownChanged, this, &KestrinTray::syncIcons);
        connect(m_status, &TrayIcon::settled, this, &KestrinTray::syncIcons);
        // The host hands over where its icon is; a host that does not says (0, 0).
        connect(m_status, &TrayIcon::activated, this,
                [this](QPoint at) { togglePanel(at.isNull() ? pointerAnchor() : QRect(at, QSize(1, 1))); });
        connect(m_status, &TrayIcon::rowTriggered, this, [this](int index) {
            if (QAction* row = m_menu->actions().value(index))
                row->trigger();
        });
    }
    syncIcons();
    m_trayWait.setSingleShot(true);
}

KestrinTray::~KestrinTray() = default;

bool KestrinTray::trayShown() const {
    return (m_status && m_status->isShown()) || (wantsQtIcon() && m_trayAvailable());
}

bool KestrinTray::offersQtIcon() const {
    return m_icon && m_icon->isVisible();
}

// One icon at a time: a StatusNotifierItem host's when it shows Kestrin's, else Qt's own, offered even
// without a tray so that it docks in one as soon as it appears. Qt's is made only once the item knows
// that no host is there: Qt decides at its first icon, for the whole run, whether to put its own on the
// StatusNotifierItem bus, and there it would stand beside Kestrin's. (On Wayland, Qt's own icon has no
// tray to dock in: only a StatusNotifierItem host shows one.)
bool KestrinTray::wantsQtIcon() const {
    return m_placement == Placement::byKestrin &&
           !(m_status && (!m_status->isSettled() || m_status->isShown()));
}

void KestrinTray::syncIcons() {
    if (!wantsQtIcon()) {
        if (m_icon)
            m_icon->hide();
        return;
    }
    if (!m_icon) {
        m_icon = std::make_unique<QSystemTrayIcon>(kestrinIcon());
        m_icon->setToolTip(u"Kestrin"_s);
        m_icon->setContextMenu(m_menu.get());
        connect(m_icon.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason != QSystemTrayIcon::Trigger)
                        return;
                    const QRect icon = m_icon->geometry();
                    togglePanel(icon.isValid() ? icon : pointerAnchor());
                });
    }
    m_icon->show();
}

void KestrinTray::showPanel() {
    const QRect icon = offersQtIcon() ? m_icon->geometry() : QRect();
    showPanelBeside(icon.isValid() ? icon : m_lastAnchor.value_or(pointerAnchor()));
}

void KestrinTray::togglePanel(const QRect& anchor) {
    m_lastAnchor = anchor;
    if (m_panel->isVisible() && m_panel->kind() != TrayPopup::Kind::window) {
        m_panel->hide();
        return;
    }
    // A popup closes on the press outside it, before the click on the icon arrives: that click closed
    // it and does not open it again.
    if (m_panelHidden.isValid() && m_panelHidden.elapsed() < closingClickMs)
        return;
    if (lcTray().isInfoEnabled())
        m_clicked.start();
    showPanelBeside(anchor);
}

void KestrinTray::showPanelBeside(const QRect& anchor) {
    m_trayWait.stop(); // shown once, by whatever asked first
    if (!trayShown()) {
        m_panel->showPlacedBySystem(TrayPopup::Kind::window);
        return;
    }
    if (m_placement == Placement::byCompositor) {
        m_panel->showPlacedBySystem(TrayPopup::Kind::floating);
        return;
    }
    // A popup is not in the application's accessible tree: with a screen reader on, the panel is a
    // frameless window beside the icon that goes when the focus does, as the popup goes on a click.
    m_panel->setKind(m_screenReaderOn() ? TrayPopup::Kind::floating : TrayPopup::Kind::popup);
    m_panel->showBeside(anchor);
}

bool KestrinTray::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && m_clicked.isValid()) {
        qCInfo(lcTray, "panel painted %lld ms after the click", static_cast<long long>(m_clicked.elapsed()));
        m_clicked.invalidate();
    }
    return QObject::eventFilter(watched, event);
}

void KestrinTray::showPanelUnlessTrayAppears(std::function<bool()> othersShowing,
                                             std::chrono::milliseconds wait) {
    m_trayWait.disconnect();
    connect(&m_trayWait, &QTimer::timeout, this, [this, othersShowing = std::move(othersShowing)] {
        if (!trayShown() && !othersShowing())
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
    const Notice stopped{
        .title = u"Kestrin stopped"_s,
        .body = m_notifications.last(),
        .actions = {{startAgainAction.toString(), u"Start again"_s},
                    {showLogAction.toString(), u"Show log"_s}},
    };
    if (m_notifier)
        m_notifier->show(stopped);
    else
        showInTray(stopped);
}

void KestrinTray::showInTray(const Notice& notice) {
    if (m_icon)
        m_icon->showMessage(notice.title, notice.body, QSystemTrayIcon::Warning);
}

void KestrinTray::setNotifier(Notifier* notifier) {
    if (m_notifier)
        disconnect(m_notifier, nullptr, this, nullptr);
    m_notifier = notifier;
    if (!m_notifier)
        return;
    connect(m_notifier, &Notifier::unavailable, this, &KestrinTray::showInTray);
    connect(m_notifier, &Notifier::actionInvoked, this, [this](const QString& key) {
        if (key == startAgainAction)
            m_model.start();
        else if (key == showLogAction)
            Q_EMIT openWindowRequested(u"log"_s);
    });
}

// Start and Stop as the panel's keys: each only when it can do something. A host's menu gets the same
// rows.
void KestrinTray::syncMenu() {
    const bool running = m_model.state().isRunning();
    m_start->setEnabled(!running);
    m_stop->setEnabled(running);
    const UpdateKey update = m_updates.key();
    m_update->setText(update.smallPrint ? update.title + u" · "_s + *update.smallPrint : update.title);
    m_update->setEnabled(update.enabled);
    if (!m_status)
        return;
    QList<TrayIcon::MenuRow> rows;
    for (const QAction* action : m_menu->actions())
        rows.append({action->text(), action->isEnabled(), action->isSeparator()});
    m_status->setMenu(rows);
}

} // namespace corvane
