// Whether a copy updates itself (its feed and key), the reminder the updater keeps, the menu's update
// key made from both, and the model that holds them.

#include "support/ScriptedUpdater.h"

#include <corvane/shell/TestCopyEnvironment.h>
#include <corvane/updates/UpdateKey.h>
#include <corvane/updates/UpdateSettings.h>

#include <corvane/UpdatesModel.h>

#include <QSignalSpy>
#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(UpdateReminder)
Q_DECLARE_METATYPE(UpdateKey)

namespace {

// A well-formed Ed25519 public key: 32 bytes in standard Base64.
const QString goodKey = QString::fromLatin1(QByteArray(32, '\x5A').toBase64());
const QString shipping = u"com.mossgate.corvane.mac"_s;

InfoDictionary infoWith(const QVariant& feed, const QVariant& key, const QString& identifier = shipping) {
    InfoDictionary info{{u"CFBundleIdentifier"_s, identifier}, {u"CFBundleShortVersionString"_s, u"1.2.3"_s}};
    if (feed.isValid())
        info.insert(u"SUFeedURL"_s, feed);
    if (key.isValid())
        info.insert(u"SUPublicEDKey"_s, key);
    return info;
}

} // namespace

class TestUpdates : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decidesWhetherThisCopyUpdatesItself_data() {
        QTest::addColumn<InfoDictionary>("info");
        QTest::addColumn<bool>("updatesItself");

        const QString testCopy = TestCopyEnvironment::bundleIdentifier.toString();
        const QString feed = u"https://updates.example.com/appcast.xml"_s;
        QTest::newRow("https with a host") << infoWith(feed, goodKey) << true;
        QTest::newRow("scheme and host in upper case")
            << infoWith(u"HTTPS://UPDATES.EXAMPLE.COM/appcast.xml"_s, goodKey) << true;
        QTest::newRow("https without a host") << infoWith(u"https:///appcast.xml"_s, goodKey) << false;
        QTest::newRow("http elsewhere") << infoWith(u"http://updates.example.com/a.xml"_s, goodKey) << false;
        QTest::newRow("http localhost, shipping copy")
            << infoWith(u"http://localhost:8123/a.xml"_s, goodKey) << false;
        QTest::newRow("http localhost, test copy")
            << infoWith(u"http://localhost:8123/a.xml"_s, goodKey, testCopy) << true;
        QTest::newRow("HTTP LOCALHOST, test copy")
            << infoWith(u"HTTP://LOCALHOST:8123/a.xml"_s, goodKey, testCopy) << true;
        QTest::newRow("http on 127.0.0.1, test copy")
            << infoWith(u"http://127.0.0.1:8123/a.xml"_s, goodKey, testCopy) << false;
        QTest::newRow("another scheme") << infoWith(u"ftp://updates.example.com/a.xml"_s, goodKey) << false;
        QTest::newRow("file scheme") << infoWith(u"file:///tmp/a.xml"_s, goodKey) << false;
        QTest::newRow("no feed") << infoWith({}, goodKey) << false;
        QTest::newRow("feed not text") << infoWith(42, goodKey) << false;
        QTest::newRow("feed not a URL") << infoWith(u"https://exa mple.com/%zz"_s, goodKey) << false;
        QTest::newRow("no key") << infoWith(feed, {}) << false;
        QTest::newRow("key not text") << infoWith(feed, 7) << false;
        QTest::newRow("key of 31 bytes")
            << infoWith(feed, QString::fromLatin1(QByteArray(31, 'a').toBase64())) << false;
        QTest::newRow("key of 33 bytes")
            << infoWith(feed, QString::fromLatin1(QByteArray(33, 'a').toBase64())) << false;
        QTest::newRow("key with white space and line breaks around it")
            << infoWith(feed, u"\n  "_s + goodKey + u"\t\n"_s) << true;
        QTest::newRow("key with white space inside")
            << infoWith(feed, goodKey.left(20) + u" "_s + goodKey.mid(20)) << false;
        QTest::newRow("key in URL-safe Base64")
            << infoWith(feed,
                        QString::fromLatin1(QByteArray(32, '\xFB').toBase64(QByteArray::Base64UrlEncoding)))
            << false;
    }

    void decidesWhetherThisCopyUpdatesItself() {
        QFETCH(InfoDictionary, info);
        QFETCH(bool, updatesItself);
        QCOMPARE(UpdateSettings::from(info).updatesItself, updatesItself);
    }

    void readsTheVersionAsWritten() {
        QCOMPARE(UpdateSettings::from(infoWith({}, {})).version, u"1.2.3"_s);
        QCOMPARE(UpdateSettings::from({{u"CFBundleShortVersionString"_s, 3}}).version, QString());
        QCOMPARE(UpdateSettings::from({}).version, QString());
    }

    void theReminderFollowsTheUpdater() {
        UpdateReminder reminder;
        QVERIFY(!reminder.isLit());
        reminder.alertWillShow(true); // an alert the person asked for is no reminder
        QVERIFY(!reminder.isLit());
        reminder.alertWillShow(false);
        QCOMPARE(reminder, (UpdateReminder{.installWaits = false, .alertShown = true}));
        reminder.sessionFinished();
        QVERIFY(!reminder.isLit());
        reminder.updateWillInstallOnQuit();
        QCOMPARE(reminder, (UpdateReminder{.installWaits = true, .alertShown = false}));
        reminder.personAnswered(false);
        QVERIFY(!reminder.isLit());
        reminder.updateWillInstallOnQuit();
        reminder.alertWillShow(false);
        reminder.sessionFailed();
        QCOMPARE(reminder, UpdateReminder());
    }

    void makesTheKey_data() {
        QTest::addColumn<UpdateReminder>("reminder");
        QTest::addColumn<bool>("canCheck");
        QTest::addColumn<QString>("version");
        QTest::addColumn<UpdateKey>("expected");

        const QString check = u"Check for updates…"_s;
        const QString ready = u"Update ready — restart to install"_s;
        QTest::newRow("nothing waiting")
            << UpdateReminder() << true << u"1.2.3"_s << UpdateKey{check, u"You have 1.2.3"_s, false, true};
        QTest::newRow("cannot check yet")
            << UpdateReminder() << false << u"1.2.3"_s << UpdateKey{check, u"You have 1.2.3"_s, false, false};
        QTest::newRow("no version") << UpdateReminder() << true << QString()
                                    << UpdateKey{check, std::nullopt, false, true};
        QTest::newRow("install waits") << UpdateReminder{.installWaits = true, .alertShown = false} << true
                                       << u"1.2.3"_s << UpdateKey{ready, std::nullopt, true, true};
        QTest::newRow("alert shown, cannot check")
            << UpdateReminder{.installWaits = false, .alertShown = true} << false << u"1.2.3"_s
            << UpdateKey{ready, std::nullopt, true, false};
    }

    void makesTheKey() {
        QFETCH(UpdateReminder, reminder);
        QFETCH(bool, canCheck);
        QFETCH(QString, version);
        QFETCH(UpdateKey, expected);
        QCOMPARE(UpdateKey::from(reminder, canCheck, version), expected);
    }

    // The key checks only when the updater can, and never in a preview; every change is announced once.
    // An update that installs at the next quit lights the key and is written to the log in its words.
    void anUpdateWaitingForTheQuitIsNoted() {
        QStringList notes;
        UpdatesModel model(infoWith(u"https://updates.example.com/a.xml"_s, goodKey), {},
                           [&](const QString& text) { notes.append(text); });
        QVERIFY(!model.key().lit);
        model.updateWillInstallOnQuit(u"0.2.0"_s, u"200"_s);
        QVERIFY(model.reminder().installWaits);
        QVERIFY(model.key().lit);
        QCOMPARE(notes,
                 QStringList{u"An update to 0.2.0 (build 200) is ready; it installs at the next quit"_s});
    }

    // Each event of the updater moves the reminder as the table says; the key lights with it. The log
    // learns of each update made ready and of each failure, with its reason.
    void theUpdatersEventsMoveTheReminder_data() {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<UpdateReminder>("reminder");
        using R = UpdateReminder;
        QTest::newRow("an alert by itself")
            << QStringList{u"alert"_s} << R{.installWaits = false, .alertShown = true};
        QTest::newRow("an alert asked for") << QStringList{u"asked"_s} << R{};
        QTest::newRow("the alert's session ends") << QStringList{u"alert"_s, u"finished"_s} << R{};
        QTest::newRow("ready for the quit")
            << QStringList{u"alert"_s, u"ready"_s} << R{.installWaits = true, .alertShown = true};
        QTest::newRow("ready, alert closed with Later")
            << QStringList{u"alert"_s, u"ready"_s, u"dismissed installing"_s, u"finished"_s}
            << R{.installWaits = true, .alertShown = false};
        QTest::newRow("ready, then quit and install") << QStringList{u"ready"_s, u"installed now"_s} << R{};
        QTest::newRow("dismissed before downloading")
            << QStringList{u"alert"_s, u"dismissed"_s} << R{.installWaits = false, .alertShown = true};
        QTest::newRow("skipped") << QStringList{u"alert"_s, u"skipped"_s, u"finished"_s} << R{};
        QTest::newRow("a failure clears both") << QStringList{u"alert"_s, u"ready"_s, u"failed"_s} << R{};
    }
    void theUpdatersEventsMoveTheReminder() {
        QFETCH(QStringList, events);
        QFETCH(UpdateReminder, reminder);
        auto owned = std::make_unique<ScriptedUpdater>();
        ScriptedUpdater& updater = *owned;
        QStringList notes;
        UpdatesModel model(infoWith(u"https://updates.example.com/a.xml"_s, goodKey), std::move(owned),
                           {.note = [&](const QString& text) { notes.append(text); }});
        for (const QString& event : events)
            updater.report(event);
        QCOMPARE(model.reminder(), reminder);
        QCOMPARE(model.key().lit, reminder.isLit());
        QCOMPARE(notes.size(), events.count(u"ready"_s) + events.count(u"failed"_s));
        if (events.contains(u"failed"_s))
            QVERIFY2(notes.last().startsWith(u"An update was refused or failed: "_s),
                     qPrintable(notes.last()));
    }

    // The updater starts only for a copy that updates itself; the key follows its readiness and checks
    // through it.
    void theUpdaterStartsOnlyForACopyThatUpdatesItself() {
        for (const bool updatesItself : {true, false}) {
            auto owned = std::make_unique<ScriptedUpdater>();
            ScriptedUpdater& updater = *owned;
            UpdatesModel model(infoWith(updatesItself ? u"https://updates.example.com/a.xml"_s
                                                      : u"ftp://updates.example.com/a.xml"_s,
                                        goodKey),
                               std::move(owned));
            QCOMPARE(updater.starts, updatesItself ? 1 : 0);
            QCOMPARE(model.key().enabled, updatesItself);
            model.check();
            QCOMPARE(updater.checks, updatesItself ? 1 : 0);
        }
    }

    // A copy the package manager installed says who updates it, on a key that cannot be pressed, and
    // starts no updater.
    void aPackagedCopySaysItsPackageManagerUpdatesIt() {
        auto owned = std::make_unique<ScriptedUpdater>();
        ScriptedUpdater& updater = *owned;
        UpdatesModel model(
            InfoDictionary{{u"CFBundleShortVersionString"_s, u"0.1.0"_s}, {u"KestrinPackaged"_s, true}},
            std::move(owned));
        QCOMPARE(model.key(),
                 (UpdateKey{u"Updated by your package manager"_s, u"You have 0.1.0"_s, false, false}));
        QCOMPARE(updater.starts, 0);
    }

    void theModelChecksOnlyWhenItCan() {
        int checks = 0;
        UpdatesModel model(infoWith(u"https://updates.example.com/a.xml"_s, goodKey), [&] { ++checks; });
        QVERIFY(model.settings().updatesItself);
        QSignalSpy changed(&model, &UpdatesModel::changed);
        QVERIFY(!model.key().enabled);
        model.check();
        QCOMPARE(checks, 0);

        model.setCanCheckForUpdates(true);
        model.setCanCheckForUpdates(true);
        QCOMPARE(changed.count(), 1);
        QVERIFY(model.key().enabled);
        model.check();
        QCOMPARE(checks, 1);

        model.setPreview(true);
        model.check();
        QCOMPARE(checks, 1);

        model.setReminder({.installWaits = true, .alertShown = false});
        QCOMPARE(changed.count(), 2);
        QVERIFY(model.key().lit);
    }
};

QTEST_GUILESS_MAIN(TestUpdates)
#include "tst_Updates.moc"
