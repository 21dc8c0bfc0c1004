#include "StatusNotifierTrayIcon.h"

#include "StatusNotifierAdaptors.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <atomic>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

// The name every item of this process takes on the bus: unique per process and per item.
QString nextServiceName() {
    static std::atomic<int> items = 0;
    return u"org.kde.StatusNotifierItem-%1-%2"_s.arg(QCoreApplication::applicationPid()).arg(++items);
}

} // namespace

StatusNotifierTrayIcon::StatusNotifierTrayIcon(QString id, QString title, QDBusConnection bus,
                                               QObject* parent)
    : TrayIcon(parent)
    , m_bus(std::move(bus))
    , m_service(nextServiceName())
    , m_itemObject(std::make_unique<QObject>())
    , m_menuObject(std::make_unique<QObject>()) {
    sni::registerTypes();
    m_item = new sni::ItemAdaptor(m_itemObject.get(), *this, std::move(id), std::move(title),
                                  QDBusObjectPath(menuPath.toString()));
    m_menu = new sni::MenuAdaptor(m_menuObject.get(), *this);
    if (!m_bus.isConnected()) {
        m_settled = true; // no session bus: no host can show it
        return;
    }
    m_bus.registerObject(itemPath.toString(), m_itemObject.get(), QDBusConnection::ExportAdaptors);
    m_bus.registerObject(menuPath.toString(), m_menuObject.get(), QDBusConnection::ExportAdaptors);
    m_bus.registerService(m_service);

    m_watcher.setConnection(m_bus);
    m_watcher.addWatchedService(watcherService.toString());
    m_watcher.setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
    connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) {
                // A new watcher (a tray host started or restarted) knows nothing of this item yet; it is
                // asked at once, without passing through "not shown", where Qt's own icon would stand in.
                if (owner.isEmpty())
                    setShown(false);
                else
                    registerWithWatcher();
                settle();
            });
    // Whether a watcher is there already, asked without waiting: the answer comes in a later turn.
    QDBusMessage asked = QDBusMessage::createMethodCall(u"org.freedesktop.DBus"_s, u"/org/freedesktop/DBus"_s,
                                                        u"org.freedesktop.DBus"_s, u"NameHasOwner"_s);
    asked << watcherService.toString();
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(asked, callTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, asked = m_registrations](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                // A watcher that appeared meanwhile has been asked already.
                if (asked == m_registrations && QDBusPendingReply<bool>(*finished).value())
                    registerWithWatcher();
                settle();
            });
}

QDBusConnection StatusNotifierTrayIcon::ownSessionConnection() {
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"kestrin-status-notifier"_s);
}

StatusNotifierTrayIcon::~StatusNotifierTrayIcon() {
    if (!m_bus.isConnected())
        return;
    m_bus.unregisterService(m_service);
    m_bus.unregisterObject(itemPath.toString());
    m_bus.unregisterObject(menuPath.toString());
}

// Shown from the moment it asks, so that no other icon stands in for it meanwhile; a refusal takes it
// back.
void StatusNotifierTrayIcon::registerWithWatcher() {
    setShown(true);
    QDBusMessage call =
        QDBusMessage::createMethodCall(watcherService.toString(), u"/StatusNotifierWatcher"_s,
                                       watcherService.toString(), u"RegisterStatusNotifierItem"_s);
    call << m_service;
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call, callTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, asked = ++m_registrations](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                // A refusal from a watcher since replaced says nothing of the present one.
                if (asked == m_registrations && QDBusPendingReply<>(*finished).isError())
                    setShown(false);
            });
}

void StatusNotifierTrayIcon::setShown(bool shown) {
    if (std::exchange(m_shown, shown) != shown)
        Q_EMIT shownChanged(shown);
}

void StatusNotifierTrayIcon::settle() {
    if (!std::exchange(m_settled, true))
        Q_EMIT settled();
}

void StatusNotifierTrayIcon::setIcon(const QList<Pixmap>& sizes) {
    sni::IconPixmapList pixmaps;
    for (const Pixmap& size : sizes)
        pixmaps.append(sni::IconPixmap{size.width, size.height, size.argb});
    m_item->setPixmaps(std::move(pixmaps));
}

void StatusNotifierTrayIcon::setToolTip(const QString& text) {
    m_item->setToolTip(text);
}

void StatusNotifierTrayIcon::setMenu(const QList<MenuRow>& rows) {
    m_menu->setRows(rows);
}

} // namespace corvane
