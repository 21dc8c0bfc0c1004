// Kestrin's icon as a StatusNotifierItem on a private bus, with a stand-in watcher and host: it
// registers whenever a watcher appears, hands over the point of a click, shows its icon and tooltip,
// and carries the menu's rows, their states and their clicks.

#include "support/PrivateBus.h"

#include <corvane/StatusNotifierTrayIcon.h>
#include <corvane/StatusNotifierTypes.h>

#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusInterface>
#include <QDBusReply>
#include <QSignalSpy>
#include <QTest>

#include <optional>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

// The desktop's watcher, as far as an item uses it.
class FakeWatcher : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
public:
    QStringList registered;
    bool refuses = false;

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service) {
        if (refuses)
            sendErrorReply(QDBusError::Failed, u"not now"_s);
        else
            registered.append(service);
    }
};

// What a host hears from the menu.
class MenuListener : public QObject {
    Q_OBJECT
public:
    QList<QList<int>> updatedIds;
    QList<uint> layoutRevisions;

public Q_SLOTS:
    void itemsPropertiesUpdated(const QDBusMessage& message) {
        const auto updated = qdbus_cast<sni::MenuItemList>(message.arguments().at(0));
        QList<int> ids;
        for (const sni::MenuItem& item : updated)
            ids.append(item.id);
        updatedIds.append(ids);
    }
    void layoutUpdated(uint revision, int) { layoutRevisions.append(revision); }
};

const QList<TrayIcon::MenuRow> rows{
    {u"Set up my glasses…"_s, true, false},
    {{}, true, true},
    {u"Stop"_s, false, false},
    {u"Quit"_s, true, false},
};

} // namespace

class TestStatusNotifierTrayIcon : public QObject {
    Q_OBJECT

    PrivateBus m_bus;

    QDBusMessage call(const QString& service, const QString& path, const QString& interface,
                      const QString& method, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments(arguments);
        return m_bus.connect(u"host"_s).call(message, QDBus::BlockWithGui, 5000);
    }

    void serveWatcher(FakeWatcher& watcher) {
        QDBusConnection host = m_bus.connect(u"watcher"_s);
        QVERIFY(host.registerObject(u"/StatusNotifierWatcher"_s, &watcher, QDBusConnection::ExportAllSlots));
        QVERIFY(host.registerService(StatusNotifierTrayIcon::watcherService.toString()));
    }
    void stopWatcher() {
        QDBusConnection host = m_bus.connect(u"watcher"_s);
        host.unregisterService(StatusNotifierTrayIcon::watcherService.toString());
        host.unregisterObject(u"/StatusNotifierWatcher"_s);
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(!m_bus.address().isEmpty(), "dbus-daemon is installed by scripts/bootstrap");
        sni::registerTypes();
    }

    void withoutABusItIsNeverShown() {
        StatusNotifierTrayIcon icon(u"kestrin"_s, u"Kestrin"_s, QDBusConnection(u"no bus"_s));
        QVERIFY(!icon.isShown());
        QVERIFY(icon.isSettled());
        icon.setMenu(rows); // and nothing fails
    }

    // The watcher may start after Kestrin (a panel at login) and may restart: each time the item
    // registers again and counts as shown; while there is none, it is not.
    void itRegistersWithEveryWatcherThatAppears() {
        StatusNotifierTrayIcon icon(u"kestrin"_s, u"Kestrin"_s, m_bus.connect(u"kestrin"_s));
        QSignalSpy shown(&icon, &TrayIcon::shownChanged);
        QSignalSpy settled(&icon, &TrayIcon::settled);
        QVERIFY(!icon.isSettled()); // the bus is asked without waiting
        QTRY_VERIFY(icon.isSettled());
        QCOMPARE(settled.count(), 1);
        QVERIFY(!icon.isShown());
        QVERIFY(m_bus.connect(u"host"_s).interface()->isServiceRegistered(icon.serviceName()));

        FakeWatcher watcher;
        serveWatcher(watcher);
        QTRY_COMPARE(watcher.registered, QStringList{icon.serviceName()});
        QVERIFY(icon.isShown());

        stopWatcher();
        QTRY_VERIFY(!icon.isShown());
        serveWatcher(watcher);
        QTRY_COMPARE(watcher.registered, QStringList({icon.serviceName(), icon.serviceName()}));
        QVERIFY(icon.isShown());
        QCOMPARE(shown.count(), 3);
        stopWatcher();
    }

    // A watcher that refuses the item leaves it unshown, so that Qt's own icon stands in. It settles
    // already shown, while it asks, so that Qt's icon is not made for the moment between.
    void aRefusedItemIsNotShown() {
        FakeWatcher watcher;
        watcher.refuses = true;
        serveWatcher(watcher);
        StatusNotifierTrayIcon icon(u"kestrin"_s, u"Kestrin"_s, m_bus.connect(u"kestrin"_s));
        QSignalSpy shown(&icon, &TrayIcon::shownChanged);
        std::optional<bool> shownWhenSettled;
        connect(&icon, &TrayIcon::settled, this, [&] { shownWhenSettled = icon.isShown(); });
        QTRY_COMPARE(shown.count(), 2);
        QCOMPARE(shownWhenSettled, std::optional(true));
        QCOMPARE(shown.first().first().toBool(), true); // while it asks
        QVERIFY(!icon.isShown());
        stopWatcher();
    }

    // The host's click comes with the point where the panel belongs, not the pointer's.
    void aClickHandsOverTheHostsPoint() {
        StatusNotifierTrayIcon icon(u"kestrin"_s, u"Kestrin"_s, m_bus.connect(u"kestrin"_s));
        QSignalSpy activated(&icon, &TrayIcon::activated);
        const QDBusMessage reply = call(icon.serviceName(), u"/StatusNotifierItem"_s,
                                        u"org.kde.StatusNotifierItem"_s, u"Activate"_s, {1890, 30});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE(activated.count(), 1);
        QCOMPARE(activated.first().first().toPoint(), QPoint(1890, 30));
    }

    void theHostReadsTheIconItsToolTipAndItsMenu() {
        StatusNotifierTrayIcon icon(u"kestrin"_s, u"Kestrin"_s, m_bus.connect(u"kestrin"_s));
        const QByteArray pixels(16 * 16 * 4, '\x7f');
        icon.setIcon({{16, 16, pixels}, {32, 32, QByteArray(32 * 32 * 4, '\x01')}});
        icon.setToolTip(u"Kestrin"_s);
        const QDBusMessage reply =
            call(icon.serviceName(), u"/StatusNotifierItem"_s, u"org.freedesktop.DBus.Properties"_s,
                 u"GetAll"_s, {u"org.kde.StatusNotifierItem"_s});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        const QVariantMap properties = qdbus_cast<QVariantMap>(reply.arguments().first());
        QCOMPARE(properties.value(u"Id"_s).toString(), u"kestrin"_s);
        QCOMPARE(properties.value(u"Title"_s).toString(), u"Kestrin"_s);
        QCOMPARE(properties.value(u"Status"_s).toString(), u"Active"_s);
        QCOMPARE(properties.value(u"ItemIsMenu"_s).toBool(), false);
        QCOMPARE(qdbus_cast<QDBusObjectPath>(properties.value(u"Menu"_s)).path(), u"/MenuBar"_s);
        const auto pixmaps = qdbus_cast<sni::IconPixmapList>(properties.value(u"IconPixmap"_s));
        QCOMPARE(pixmaps.size(), 2);
        QCOMPARE(pixmaps.first().width, 16);
        QCOMPARE(pixmaps.first().bytes, pixels);
        QCOMPARE(pixmaps.last().height, 32);
        QCOMPARE(qdbus_cast<sni::ToolTip>(properties.value(u"ToolTip"_s)).title, u"Kestrin"_s);
    }

    void theMenuCarriesTheRowsTheirStatesAndTheirClicks() {
        StatusNotifierTrayIcon icon(u"kestrin"_s, u"Kestrin"_s, m_bus.connect(u"kestrin"_s));
        icon.setMenu(rows);
        MenuListener listener;
        QDBusConnection host = m_bus.connect(u"host"_s);
        QVERIFY(host.connect(icon.serviceName(), u"/MenuBar"_s, u"com.canonical.dbusmenu"_s,
                             u"ItemsPropertiesUpdated"_s, &listener,
                             SLOT(itemsPropertiesUpdated(QDBusMessage))));
        QVERIFY(host.connect(icon.serviceName(), u"/MenuBar"_s, u"com.canonical.dbusmenu"_s,
                             u"LayoutUpdated"_s, &listener, SLOT(layoutUpdated(uint, int))));

        const QDBusMessage layoutReply = call(icon.serviceName(), u"/MenuBar"_s, u"com.canonical.dbusmenu"_s,
                                              u"GetLayout"_s, {0, -1, QStringList()});
        QCOMPARE(layoutReply.type(), QDBusMessage::ReplyMessage);
        const uint revision = layoutReply.arguments().at(0).toUInt();
        const auto layout = qdbus_cast<sni::MenuLayout>(layoutReply.arguments().at(1));
        QCOMPARE(layout.id, 0);
        QCOMPARE(layout.properties.value(u"children-display"_s).toString(), u"submenu"_s);
        QCOMPARE(layout.children.size(), rows.size());
        QCOMPARE(layout.children.at(0).properties.value(u"label"_s).toString(), u"Set up my glasses…"_s);
        QCOMPARE(layout.children.at(0).properties.value(u"enabled"_s).toBool(), true);
        QCOMPARE(layout.children.at(1).properties.value(u"type"_s).toString(), u"separator"_s);
        QCOMPARE(layout.children.at(2).properties.value(u"enabled"_s).toBool(), false);
        QCOMPARE(layout.children.at(3).id, 4);

        // A click on a row is handed over by its index; a click on a disabled row or a separator is not.
        QSignalSpy triggered(&icon, &TrayIcon::rowTriggered);
        for (const int id : {3, 2, 4})
            call(icon.serviceName(), u"/MenuBar"_s, u"com.canonical.dbusmenu"_s, u"Event"_s,
                 {id, u"clicked"_s, QVariant::fromValue(QDBusVariant(0)), 0u});
        QTRY_COMPARE(triggered.count(), 1);
        QTest::qWait(50);
        QCOMPARE(triggered.count(), 1);
        QCOMPARE(triggered.first().first().toInt(), 3);

        // Start running: only the changed row is said again; a new row changes the layout.
        QList<TrayIcon::MenuRow> running = rows;
        running[2].enabled = true;
        icon.setMenu(running);
        QTRY_COMPARE(listener.updatedIds, QList<QList<int>>{{3}});
        running.append({u"More"_s, true, false});
        icon.setMenu(running);
        QTRY_COMPARE(listener.layoutRevisions.size(), 1);
        QVERIFY(listener.layoutRevisions.first() > revision);
        const QDBusMessage property = call(icon.serviceName(), u"/MenuBar"_s, u"com.canonical.dbusmenu"_s,
                                           u"GetProperty"_s, {3, u"enabled"_s});
        QCOMPARE(property.arguments().at(0).value<QDBusVariant>().variant().toBool(), true);
    }
};

QTEST_GUILESS_MAIN(TestStatusNotifierTrayIcon)
#include "tst_StatusNotifierTrayIcon.moc"
