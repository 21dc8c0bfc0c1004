// Kestrin's notifications through a stand-in notification server on a private bus: the call as a
// notification server sees it, each notice replacing the one before, the actions the person picks
// (only on Kestrin's own notice), and a desktop with no notification server at all.

#include "support/PrivateBus.h"

#include <corvane/FreedesktopNotifier.h>

#include <QDBusConnection>
#include <QDBusContext>
#include <QSignalSpy>
#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(corvane::Notice)

namespace {

// What a notification server was asked to show.
struct Shown {
    QString application;
    uint replaces = 0;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
};

class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QList<Shown> shown;
    uint lastId = 40;

public Q_SLOTS:
    uint Notify(const QString& application, uint replaces, const QString&, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int) {
        shown.append({application, replaces, summary, body, actions, hints});
        return replaces != 0 ? replaces : ++lastId;
    }

Q_SIGNALS:
    void ActionInvoked(uint id, const QString& key);
    void NotificationClosed(uint id, uint reason);
};

const Notice stopped{.title = u"Kestrin stopped"_s,
                     .body = u"Port 9111 is already in use."_s,
                     .actions = {{u"start-again"_s, u"Start again"_s}, {u"show-log"_s, u"Show log"_s}}};

} // namespace

class TestFreedesktopNotifier : public QObject {
    Q_OBJECT

    PrivateBus m_bus;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(!m_bus.address().isEmpty(), "dbus-daemon is installed by scripts/bootstrap");
    }

    void aNoticeReplacesTheLastAndItsActionsComeBack() {
        NotificationServer server;
        QDBusConnection desktop = m_bus.connect(u"desktop"_s);
        QVERIFY(desktop.registerObject(FreedesktopNotifier::path.toString(), &server,
                                       QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        QVERIFY(desktop.registerService(FreedesktopNotifier::service.toString()));
        FreedesktopNotifier notifier(u"com.mossgate.corvane.mac"_s, m_bus.connect(u"kestrin"_s));
        QSignalSpy picked(&notifier, &Notifier::actionInvoked);
        QSignalSpy unavailable(&notifier, &Notifier::unavailable);

        notifier.show(stopped);
        QTRY_COMPARE(server.shown.size(), 1);
        const Shown& first = server.shown.first();
        QCOMPARE(first.application, u"Kestrin"_s);
        QCOMPARE(first.replaces, 0u);
        QCOMPARE(first.summary, stopped.title);
        QCOMPARE(first.body, stopped.body);
        QCOMPARE(first.actions,
                 (QStringList{u"start-again"_s, u"Start again"_s, u"show-log"_s, u"Show log"_s}));
        QCOMPARE(first.hints.value(u"desktop-entry"_s).toString(), u"com.mossgate.corvane.mac"_s);
        notifier.show(stopped); // at once, before the first's id is back
        QTRY_COMPARE(server.shown.size(), 2);
        QCOMPARE(server.shown.last().replaces, 41u); // in place of the first, not beside it

        Q_EMIT server.ActionInvoked(7, u"start-again"_s); // another program's notice
        Q_EMIT server.ActionInvoked(41, u"show-log"_s);
        QTRY_COMPARE(picked.count(), 1);
        QCOMPARE(picked.first().first().toString(), u"show-log"_s);

        // Once closed, the next notice is a new one.
        Q_EMIT server.NotificationClosed(41, 2);
        QTRY_VERIFY(!notifier.isShowing());
        notifier.show(stopped);
        QTRY_COMPARE(server.shown.size(), 3);
        QCOMPARE(server.shown.last().replaces, 0u);
        QCOMPARE(unavailable.count(), 0);
        desktop.unregisterService(FreedesktopNotifier::service.toString());
        desktop.unregisterObject(FreedesktopNotifier::path.toString());
    }

    // No notification server: whoever asked is told, with the notice, to show it another way.
    void withoutANotificationServerTheNoticeComesBack() {
        FreedesktopNotifier notifier(u"com.mossgate.corvane.mac"_s, m_bus.connect(u"kestrin-alone"_s));
        QSignalSpy unavailable(&notifier, &Notifier::unavailable);
        notifier.show(stopped);
        QTRY_COMPARE(unavailable.count(), 1);
        QCOMPARE(unavailable.first().first().value<Notice>(), stopped);
    }
};

QTEST_GUILESS_MAIN(TestFreedesktopNotifier)
#include "tst_FreedesktopNotifier.moc"
