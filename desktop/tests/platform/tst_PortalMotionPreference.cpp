// The desktop's wish for less motion, read from a stand-in XDG desktop portal on a private bus: each of
// the two settings, a portal of the first version, no portal (GNOME's own setting through a stand-in
// gsettings), and a change while Kestrin runs.

#include "support/PrivateBus.h"
#include "support/TestSupport.h"

#include <corvane/PortalMotionPreference.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

using Settings = QVariantMap; // "group key" → value

// What the portal answers for a setting: its value, or the portal's error for one it does not have.
QDBusVariant answer(const Settings& values, QDBusContext& call, const QString& group, const QString& key,
                    bool wrapped) {
    const QVariant value = values.value(group + u' ' + key);
    if (!value.isValid()) {
        call.sendErrorReply(u"org.freedesktop.portal.Error.NotFound"_s, u"Requested setting not found"_s);
        return QDBusVariant(0u);
    }
    return wrapped ? QDBusVariant(QVariant::fromValue(QDBusVariant(value))) : QDBusVariant(value);
}

// The portal's settings of a desktop, in the interface's second version (ReadOne and Read).
class PortalSettings : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    Settings values;
    bool holdAnswers = false; // questions wait in `held` until the test answers them
    QList<QDBusMessage> held;

public Q_SLOTS:
    QDBusVariant ReadOne(const QString& group, const QString& key) {
        if (holdAnswers) {
            setDelayedReply(true);
            held.append(message());
            return {};
        }
        return answer(values, *this, group, key, false);
    }
    // The first version's answer: the value inside one more variant.
    QDBusVariant Read(const QString& group, const QString& key) {
        return answer(values, *this, group, key, true);
    }

Q_SIGNALS:
    void SettingChanged(const QString& group, const QString& key, const QDBusVariant& value);
};

// A portal of the first version: Read alone.
class FirstPortalSettings : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    Settings values;

public Q_SLOTS:
    QDBusVariant Read(const QString& group, const QString& key) {
        return answer(values, *this, group, key, true);
    }
};

const QString standard = u"org.freedesktop.appearance reduced-motion"_s;
const QString gnome = u"org.gnome.desktop.interface enable-animations"_s;

} // namespace

class TestPortalMotionPreference : public QObject {
    Q_OBJECT

    PrivateBus m_bus;

    // Puts `settings` on the bus as the desktop portal.
    void serve(QObject& settings) {
        QDBusConnection portal = m_bus.connect(u"portal"_s);
        QVERIFY(portal.registerObject(PortalMotionPreference::path.toString(), &settings,
                                      QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        QVERIFY(portal.registerService(PortalMotionPreference::service.toString()));
    }
    void stopServing() {
        QDBusConnection portal = m_bus.connect(u"portal"_s);
        portal.unregisterService(PortalMotionPreference::service.toString());
        portal.unregisterObject(PortalMotionPreference::path.toString());
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(!m_bus.address().isEmpty(), "dbus-daemon is installed by scripts/bootstrap");
    }

    void theDesktopsWish_data() {
        QTest::addColumn<QString>("portal");
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<bool>("reduced");
        QTest::newRow("no preference") << u"second"_s << Settings{{standard, 0u}, {gnome, true}} << false;
        QTest::newRow("reduced motion") << u"second"_s << Settings{{standard, 1u}} << true;
        QTest::newRow("an unknown value") << u"second"_s << Settings{{standard, 7u}} << false;
        QTest::newRow("no animations on GNOME")
            << u"second"_s << Settings{{standard, 0u}, {gnome, false}} << true;
        QTest::newRow("a first-version portal") << u"first"_s << Settings{{gnome, false}} << true;
        QTest::newRow("no portal, GNOME without animations") << u"none"_s << Settings{{gnome, false}} << true;
        QTest::newRow("no portal, GNOME with animations") << u"none"_s << Settings{{gnome, true}} << false;
        QTest::newRow("no portal, no GNOME") << u"none"_s << Settings{} << false;
    }
    void theDesktopsWish() {
        QFETCH(QString, portal);
        QFETCH(Settings, settings);
        QFETCH(bool, reduced);
        PortalSettings second;
        FirstPortalSettings first;
        second.values = first.values = settings;
        if (portal == u"second"_s)
            serve(second);
        if (portal == u"first"_s)
            serve(first);
        // GNOME's own setting, where there is no portal to ask.
        QTemporaryDir tools;
        const QString gsettings = tools.filePath(u"gsettings"_s);
        if (settings.contains(gnome)) {
            QFile script(gsettings);
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write(
                "#!/bin/sh\n[ \"$*\" = 'get org.gnome.desktop.interface enable-animations' ] && echo " +
                QByteArray(settings.value(gnome).toBool() ? "true" : "false") + "\n");
            script.close();
            QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        }
        PortalMotionPreference preference(m_bus.connect(u"kestrin"_s), gsettings);
        QSignalSpy changed(&preference, &MotionPreference::changed);
        QTRY_VERIFY(preference.isSettled());
        QCOMPARE(preference.reduced(), reduced);
        QCOMPARE(changed.count(), reduced ? 1 : 0);
        stopServing();
    }

    // A change made while Kestrin runs is followed at once, both ways.
    void aChangeIsFollowed() {
        PortalSettings settings;
        settings.values = {{standard, 0u}, {gnome, true}};
        serve(settings);
        PortalMotionPreference preference(m_bus.connect(u"kestrin"_s));
        QSignalSpy changed(&preference, &MotionPreference::changed);
        QTRY_VERIFY(preference.isSettled());
        QVERIFY(!preference.reduced());
        Q_EMIT settings.SettingChanged(u"org.freedesktop.appearance"_s, u"reduced-motion"_s,
                                       QDBusVariant(1u));
        QTRY_COMPARE(changed.count(), 1);
        QVERIFY(preference.reduced());
        Q_EMIT settings.SettingChanged(u"org.freedesktop.appearance"_s, u"color-scheme"_s, QDBusVariant(1u));
        Q_EMIT settings.SettingChanged(u"org.freedesktop.appearance"_s, u"reduced-motion"_s,
                                       QDBusVariant(0u));
        QTRY_COMPARE(changed.count(), 2);
        QVERIFY(!preference.reduced());
        stopServing();
    }

    // A change heard while the first answers are still on their way is newer than they are: an answer
    // that comes late does not undo it.
    void aLateAnswerDoesNotUndoAChange() {
        PortalSettings settings;
        settings.values = {{standard, 0u}, {gnome, true}};
        settings.holdAnswers = true;
        serve(settings);
        PortalMotionPreference preference(m_bus.connect(u"kestrin"_s));
        QTRY_COMPARE(settings.held.size(), 2);
        Q_EMIT settings.SettingChanged(u"org.freedesktop.appearance"_s, u"reduced-motion"_s,
                                       QDBusVariant(1u));
        QTRY_VERIFY(preference.reduced());
        QDBusConnection portal = m_bus.connect(u"portal"_s);
        for (const QDBusMessage& question : std::as_const(settings.held)) {
            const QString setting =
                question.arguments().at(0).toString() + u' ' + question.arguments().at(1).toString();
            QVERIFY(portal.send(
                question.createReply(QVariant::fromValue(QDBusVariant(settings.values.value(setting))))));
        }
        QTRY_VERIFY(preference.isSettled());
        QVERIFY(preference.reduced());
        stopServing();
    }
};

QTEST_GUILESS_MAIN(TestPortalMotionPreference)
#include "tst_PortalMotionPreference.moc"
