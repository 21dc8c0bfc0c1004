// The menu panel over the server's model (with fake processes and a scripted setup API): what it shows
// in each state, what its keys and switches ask of the model, and a gallery of the panel in each state.

#include "support/Gallery.h"
#include "support/ServerViewModelFixture.h"

#include <corvane/status/MenuWords.h>

#include <corvane/controls/ColumnPanel.h>
#include <corvane/controls/FieldToggle.h>
#include <corvane/controls/FieldUnitFonts.h>
#include <corvane/controls/Key.h>
#include <corvane/menu/MenuContent.h>
#include <corvane/menu/RowKey.h>
#include <corvane/tray/TrayPopup.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace corvane;

namespace {

// The visible text of every label and key of the panel, in one string.
QString shownText(const QWidget& panel) {
    QStringList texts{shownLabels(panel)};
    for (const QAbstractButton* button : panel.findChildren<QAbstractButton*>())
        if (button->isVisibleTo(&panel))
            texts.append(u"[%1%2]"_s.arg(button->text(), button->isEnabled() ? QString() : u" disabled"_s));
    return texts.join(u" | "_s);
}

// A code that runs out `seconds` after the fixture's clock.
QByteArray codeFor(int seconds) {
    return R"({"code":"482913","expiresAt":)" + QByteArray::number((1'800'000'000LL + seconds) * 1000) + '}';
}

} // namespace

class TestMenuContent : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QCOMPARE(FieldUnitFonts::registerFonts(QStringLiteral(KESTRIN_FONTS_DIR)), 3); }

    // Tab reaches every control of the panel, each showing the focus, and comes round again.
    void tabReachesEveryControl() {
        Fixture f;
        f.make();
        f.model->start();
        menu::MenuContent panel(*f.model, f.updates);
        panel.show();
        panel.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        settle();
        const QList<QWidget*> reached = tabWalk(panel, u"menu"_s);
        const QStringList names = namesOf(reached);
        QVERIFY2(names.contains(u"Quit"_s) && names.contains(u"Stop"_s) &&
                     names.contains(u"Answer my home network"_s),
                 qPrintable(names.join(u" | "_s)));
        QVERIFY2(reached.size() >= 7, qPrintable(names.join(u" | "_s)));
    }

    void offShowsNoPhoneReadoutAndOffersStart() {
        Fixture f;
        f.make();
        menu::MenuContent panel(*f.model, f.updates);
        panel.show(); // it shows the model while it is on screen
        settle();
        const QString text = shownText(panel);
        QVERIFY2(text.contains(u"OFF"_s) && text.contains(MenuWords::offSentence.toString()),
                 qPrintable(text));
        QVERIFY(!text.contains(u"Then type this code:"_s));
        QVERIFY(!text.contains(u"[Answer my home network"_s));
        QVERIFY(text.contains(u"[Start]"_s) && text.contains(u"[Stop disabled]"_s));
        QCOMPARE(qobject_cast<Key*>(shownKey(panel, u"Start"_s))->style().variant, KeyStyle::Variant::hot);
        saveToGallery(panel, u"menu-off"_s);

        QTest::mouseClick(shownKey(panel, u"Start"_s), Qt::LeftButton);
        settle();
        QVERIFY(f.model->state().isRunning());
        QVERIFY(shownText(panel).contains(u"[Stop]"_s));
        QCOMPARE(qobject_cast<Key*>(shownKey(panel, u"Start"_s))->style().variant,
                 KeyStyle::Variant::chassis);
    }

    void onShowsTheAddressAndTheLiveCode() {
        Fixture f;
        f.server->setup = setupDownloading;
        f.server->code = codeFor(125);
        f.startRunning();
        menu::MenuContent panel(*f.model, f.updates);
        panel.show(); // it shows the model while it is on screen
        settle();
        const QString text = shownText(panel);
        QVERIFY2(text.contains(u"ON"_s) && text.contains(u"PORT 9111 · PROCESS 1001"_s), qPrintable(text));
        QVERIFY(text.contains(u"studio.local:9111"_s) && text.contains(u"or 192.168.1.5:9111"_s));
        QVERIFY(text.contains(u"482913"_s) && text.contains(u"GOOD FOR 2:05"_s));
        QVERIFY(text.contains(u"[New code]"_s) && !text.contains(u"[Show a pairing code]"_s));
        QVERIFY(text.contains(u"Downloading the voice model"_s));
        saveToGallery(panel, u"menu-on"_s);

        QTest::mouseClick(shownKey(panel, u"Copy"_s), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"studio.local:9111"_s);
        QTest::mouseClick(shownKey(panel, u"New code"_s), Qt::LeftButton);
        settle();
        QCOMPARE(f.count(u"POST /api/pair/code"_s), 1);
    }

    // Hidden, the panel follows nothing, not even the countdown; shown again, it is current at once.
    void aHiddenPanelFollowsNothingUntilShown() {
        Fixture f;
        f.server->setup = setupDownloading;
        f.server->code = codeFor(125);
        f.startRunning();
        menu::MenuContent panel(*f.model, f.updates);
        panel.show();
        settle();
        QVERIFY(shownText(panel).contains(u"GOOD FOR 2:05"_s));
        panel.hide();
        f.advance(3);
        QVERIFY(shownText(panel).contains(u"GOOD FOR 2:05"_s));
        panel.show();
        settle();
        QVERIFY(shownText(panel).contains(u"GOOD FOR 2:02"_s));
    }

    void anExpiredCodeIsSaidSoAndANewOneOffered() {
        Fixture f;
        f.server->setup = setupDownloading;
        f.server->code = codeFor(0);
        f.startRunning();
        menu::MenuContent panel(*f.model, f.updates);
        panel.show(); // it shows the model while it is on screen
        settle();
        const QString text = shownText(panel);
        QVERIFY2(text.contains(u"THAT CODE EXPIRED"_s), qPrintable(text));
        QVERIFY(text.contains(u"[Show a pairing code]"_s) && !text.contains(u"482913"_s));
        saveToGallery(panel, u"menu-code-expired"_s);
    }

    void aSetupProblemIsTheHeadline() {
        Fixture f;
        f.nodeMissing = true;
        f.make();
        f.model->start();
        settle();
        menu::MenuContent panel(*f.model, f.updates);
        panel.show(); // it shows the model while it is on screen
        settle();
        const QString text = shownText(panel);
        QVERIFY2(text.contains(u"PROBLEM"_s) && text.contains(*f.model->setupProblem()), qPrintable(text));
        saveToGallery(panel, u"menu-problem"_s);
    }

    void theNetworkSwitchAsksTheModelAndWaitsWhileItApplies() {
        Fixture f;
        f.server->setup = setupDownloading;
        f.server->code = codeFor(125); // a code of the usual five minutes, for the picture
        f.startRunning();
        menu::MenuContent panel(*f.model, f.updates);
        panel.show(); // it shows the model while it is on screen
        settle();
        auto* toggle = qobject_cast<FieldToggle*>(shownKey(panel, NetworkPreferences::label()));
        QVERIFY(toggle && !toggle->isChecked());
        panel.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        toggle->setFocus(Qt::TabFocusReason);
        // What the panel shows at the moment the change is under way (the panel has synced by then).
        std::optional<bool> enabledWhileApplying;
        QString textWhileApplying;
        const QWidget* focusWhileApplying = nullptr;
        connect(f.model.get(), &ServerViewModel::changed, this, [&] {
            if (f.model->isApplyingNetworkChange() && !enabledWhileApplying) {
                enabledWhileApplying = toggle->isEnabled();
                textWhileApplying = shownText(panel);
                focusWhileApplying = QApplication::focusWidget();
                saveToGallery(panel, u"menu-network-change"_s);
            }
        });
        QTest::mouseClick(toggle, Qt::LeftButton);
        settle();
        QCOMPARE(f.model->networkPreference(), NetworkPreference::homeNetwork);
        QCOMPARE(enabledWhileApplying, std::optional(false));
        QVERIFY2(textWhileApplying.contains(u"Restarting the server…"_s), qPrintable(textWhileApplying));
        QVERIFY(toggle->isChecked() && toggle->isEnabled()); // applied
        // The focus never passed to a key meanwhile, and is the switch's again.
        QVERIFY(!qobject_cast<const QAbstractButton*>(focusWhileApplying));
        QCOMPARE(QApplication::focusWidget(), toggle);
        QCOMPARE(f.launcher->plans.last().environment.value(u"BIND_HOST"_s), u"0.0.0.0"_s);
    }

    void aLoginItemProblemIsShownWithItsLamp() {
        Fixture f;
        f.loginItems->failure = u"The system would not add Kestrin to your login items."_s;
        f.make();
        menu::MenuContent panel(*f.model, f.updates);
        panel.show(); // it shows the model while it is on screen
        settle();
        QTest::mouseClick(shownKey(panel, MenuWords::startAtLogin.toString()), Qt::LeftButton);
        QVERIFY(f.model->loginProblem().has_value());
        QVERIFY(shownText(panel).contains(*f.model->loginProblem()));
        QCOMPARE(f.loginItems->registrations, 1);
        saveToGallery(panel, u"menu-login-problem"_s);
    }

    // Until an updater runs, the key shows the version and cannot be pressed; once it can check, a
    // press checks; an update waiting for the quit lights it.
    void theUpdateKeyShowsTheVersionAndLightsForAWaitingUpdate() {
        Fixture f;
        f.make();
        int checks = 0;
        UpdatesModel updates(InfoDictionary{{u"CFBundleShortVersionString"_s, u"0.4.2"_s}},
                             [&] { ++checks; });
        menu::MenuContent panel(*f.model, updates);
        panel.show();
        settle();
        auto* update = qobject_cast<menu::RowKey*>(shownKey(panel, u"Check for updates…"_s));
        QVERIFY2(update, qPrintable(shownText(panel)));
        QCOMPARE(update->smallPrint(), u"You have 0.4.2"_s);
        QCOMPARE(update->accessibleDescription(), u"You have 0.4.2"_s);
        QVERIFY(!update->isEnabled());
        QTest::mouseClick(update, Qt::LeftButton);
        QCOMPARE(checks, 0);

        updates.setCanCheckForUpdates(true);
        QVERIFY(update->isEnabled());
        QTest::mouseClick(update, Qt::LeftButton);
        QCOMPARE(checks, 1);

        updates.setReminder({.installWaits = true, .alertShown = false});
        QCOMPARE(update->text(), u"Update ready — restart to install"_s);
        QCOMPARE(update->smallPrint(), QString());
        QCOMPARE(update->style().variant, KeyStyle::Variant::hot);
        saveToGallery(panel, u"menu-update-ready"_s);
    }

    // A packaged copy's key says who updates it, and its small print still shows the version.
    void aPackagedCopysUpdateKeyNamesThePackageManager() {
        Fixture f;
        f.make();
        UpdatesModel updates(
            InfoDictionary{{u"CFBundleShortVersionString"_s, u"0.4.2"_s}, {u"KestrinPackaged"_s, true}},
            [] {});
        menu::MenuContent panel(*f.model, updates);
        panel.show();
        settle();
        auto* update = qobject_cast<menu::RowKey*>(shownKey(panel, u"Updated by your package manager"_s));
        QVERIFY2(update, qPrintable(shownText(panel)));
        QVERIFY(!update->isEnabled());
        QCOMPARE(update->smallPrint(), u"You have 0.4.2"_s);
        saveToGallery(panel, u"menu-packaged"_s);
    }

    // Each panel is as high as its wrapped sentences need at the width it is given, with no empty band
    // below them, and so is the whole menu, in its popup or on its own.
    void panelsAreAsHighAsTheirWrappedText() {
        Fixture f;
        f.make();
        TrayPopup popup(*f.model, f.updates, TrayPopup::Kind::popup);
        popup.showBeside(QRect(1200, 0, 24, 24));
        settle();
        const menu::MenuContent& panel = popup.content();
        QCOMPARE(panel.height(), panel.heightForWidth(panel.width()));
        for (const ColumnPanel* inner : panel.findChildren<ColumnPanel*>())
            if (inner->isVisibleTo(&panel))
                QCOMPARE(inner->height(), inner->heightForWidth(inner->width()));
        QCOMPARE(panel.sizeHint(), panel.size());

        // On its own, as a window sized by its layout.
        menu::MenuContent alone(*f.model, f.updates);
        alone.show();
        settle();
        alone.adjustSize();
        QCOMPARE(alone.size(), panel.size());
    }

    void rowsAskForTheirWindowsAndQuitAsksToQuit() {
        Fixture f;
        f.make();
        menu::MenuContent panel(*f.model, f.updates);
        panel.show(); // it shows the model while it is on screen
        settle();
        QSignalSpy windows(&panel, &menu::MenuContent::openWindowRequested);
        QSignalSpy quits(&panel, &menu::MenuContent::quitRequested);
        for (const QStringView title :
             {MenuWords::setUpGlasses, MenuWords::agentPermissions, MenuWords::setupGuide})
            QTest::mouseClick(shownKey(panel, title.toString()), Qt::LeftButton);
        QCOMPARE(windows.count(), 3);
        QCOMPARE(windows.at(0).first().toString(), u"glasses"_s);
        QCOMPARE(windows.at(1).first().toString(), u"approval"_s);
        QCOMPARE(windows.at(2).first().toString(), u"welcome"_s);
        QTest::mouseClick(shownKey(panel, u"Quit"_s), Qt::LeftButton);
        QCOMPARE(quits.count(), 1);
    }
};

QTEST_MAIN(TestMenuContent)
#include "tst_MenuContent.moc"
