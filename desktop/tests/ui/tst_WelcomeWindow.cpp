// The welcome window's screen over the welcome model (scripted server, fake tools and folders) and the
// server's model: the corner cell, each step's keys, the key fields, the finish, and a picture of each
// step for the gallery.

#include "support/Gallery.h"
#include "support/PreviewsFixture.h"
#include "support/WelcomeFixture.h"

#include <corvane/previews/LivePreviewsPanel.h>
#include <corvane/previews/LivePreviewsWords.h>
#include <corvane/welcome/DeveloperToolsWords.h>
#include <corvane/welcome/FolderAccessWords.h>
#include <corvane/welcome/FolderChooser.h>
#include <corvane/welcome/WelcomeContent.h>
#include <corvane/welcome/WelcomeFinish.h>

#include <corvane/PreviewsSwitchViewModel.h>
#include <corvane/controls/Cell.h>
#include <corvane/controls/FieldUnitAccessibility.h>
#include <corvane/controls/FieldUnitFonts.h>
#include <corvane/controls/GlassPanel.h>
#include <corvane/controls/GlassRule.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/Lamp.h>
#include <corvane/controls/Silk.h>
#include <corvane/controls/Spinner.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QGraphicsEffect>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using namespace corvane;

Q_DECLARE_METATYPE(DeveloperToolsInstaller)

namespace {

// The wrapped texts given less height than they need: on a fixed-size window, a screen with too much
// on it squeezes them instead of growing.
QStringList squeezedTexts(QWidget& screen) {
    layOutPending();
    QStringList squeezed;
    for (const QLabel* label : screen.findChildren<QLabel*>())
        if (label->isVisibleTo(&screen) && label->wordWrap() &&
            label->height() < label->heightForWidth(label->width()))
            squeezed.append(label->text());
    return squeezed;
}

// Writes the screen to the gallery, once every text on it has the room it needs.
void look(QWidget& screen, const QString& name) {
    const QStringList squeezed = squeezedTexts(screen);
    QVERIFY2(squeezed.isEmpty(), qPrintable(squeezed.join(u" | "_s)));
    saveToGallery(screen, name);
}

// Whether a thin rule on the glass parts the words `above` from the words `below`.
bool ruleBetween(QWidget& screen, const QString& above, const QString& below) {
    const auto topOf = [&screen](const QWidget* widget) { return widget->mapTo(&screen, QPoint()).y(); };
    std::optional<int> upper;
    std::optional<int> lower;
    for (const QLabel* label : screen.findChildren<QLabel*>())
        if (label->isVisibleTo(&screen) && label->text() == above)
            upper = topOf(label) + label->height();
        else if (label->isVisibleTo(&screen) && label->text() == below)
            lower = topOf(label);
    if (!upper || !lower)
        return false;
    for (const GlassRule* rule : screen.findChildren<GlassRule*>())
        if (rule->isVisibleTo(&screen) && topOf(rule) >= *upper && topOf(rule) < *lower)
            return true;
    return false;
}

// A welcome with the server's model beside it, on screen.
struct Screen {
    Welcome w;
    Fixture server;
    std::unique_ptr<welcome::WelcomeContent> content;

    void show(PreviewsSwitchViewModel* previews = nullptr) {
        w.make();
        server.make();
        content = std::make_unique<welcome::WelcomeContent>(*w.model, *server.model, previews);
        content->show(); // starts the poll
        content->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(content.get()));
        settle();
    }
};

} // namespace

class TestWelcomeWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QCOMPARE(FieldUnitFonts::registerFonts(QStringLiteral(KESTRIN_FONTS_DIR)), 3);
        FieldUnitAccessibility::install(); // before the first screen, as the application does
    }

    // Tools missing: the tools step, STEP 1/4, and Return starts the install; the folder step is then
    // STEP 2/4.
    void theToolsStepInstallsOnReturn() {
        Screen s;
        s.show();
        QCOMPARE(s.content->stepCell().accessibleName(), u"Step 1 of 4"_s);
        look(*s.content, u"welcome-tools"_s);
        QVERIFY(shownKey(*s.content, u"install git"_s));
        QTest::keyClick(s.content.get(), Qt::Key_Return);
        QCOMPARE(s.w.model->toolsStage(), DeveloperToolsStage::installing);
        look(*s.content, u"welcome-tools-installing"_s);
        settle();
        QCOMPARE(s.w.tools->installs, 1);
        QCOMPARE(s.w.model->step(), WelcomeStep::folder);
        QCOMPARE(s.content->stepCell().accessibleName(), u"Step 2 of 4"_s);
    }

    // The tools step asks for what the installer there needs, and says so in its words when it closes;
    // with nothing to install with there is no key, on this step or the last, and Return starts nothing.
    void theToolsStepSaysWhatTheInstallerNeeds_data() {
        QTest::addColumn<DeveloperToolsInstaller>("installer");
        QTest::addColumn<bool>("installs");
        QTest::newRow("PackageKit") << DeveloperToolsInstaller::packageKit << true;
        QTest::newRow("a software centre") << DeveloperToolsInstaller::softwareCentre << true;
        QTest::newRow("nothing to install with") << DeveloperToolsInstaller::none << false;
    }
    void theToolsStepSaysWhatTheInstallerNeeds() {
        QFETCH(DeveloperToolsInstaller, installer);
        QFETCH(bool, installs);
        Screen s;
        s.w.tools->installsWith = installer;
        s.show();
        QCOMPARE(s.w.model->step(), WelcomeStep::tools);
        QVERIFY2(shownLabels(*s.content).contains(DeveloperToolsWords::whatToClick(installer).toString()),
                 qPrintable(shownLabels(*s.content)));
        QCOMPARE(shownKey(*s.content, u"install git"_s) != nullptr, installs);
        if (!installs)
            look(*s.content, u"welcome-tools-no-installer"_s);

        // With the server silent the welcome stays on this step while the installer is followed.
        s.w.server->down = true;
        QTest::keyClick(s.content.get(), Qt::Key_Return);
        settle();
        QCOMPARE(s.w.tools->installs, installs ? 1 : 0);
        s.w.now += 15s;
        s.w.tick();
        QCOMPARE(s.w.model->step(), WelcomeStep::tools);
        const QString closed =
            DeveloperToolsWords::status(DeveloperToolsStage::installerClosed, installer).toString();
        QCOMPARE(shownLabels(*s.content).contains(closed), installs);
        QCOMPARE(shownKey(*s.content, u"install again"_s) != nullptr, installs);

        for (int step = 0; step < 4; ++step)
            s.w.model->skip();
        QCOMPARE(s.w.model->step(), WelcomeStep::done);
        QCOMPARE(shownKey(*s.content, u"install again"_s) != nullptr, installs);
        QVERIFY(!shownKey(*s.content, u"install git"_s));
    }

    // From the keyboard alone: the folder step's keys, and the window's, each reached and showing the
    // focus.
    void theKeyboardReachesEveryKeyOfAStep() {
        Screen s;
        s.w.tools->status = DeveloperToolsStatus::ready;
        s.show();
        const QStringList names = namesOf(tabWalk(*s.content, u"welcome-folder"_s));
        for (const QString& key : {u"Choose a Folder…"_s, u"continue"_s, u"Skip for now"_s})
            QVERIFY2(names.contains(key), qPrintable(names.join(u" | "_s)));
    }

    // The folder dialog belongs to the welcome's window, and when it closes the window has the keyboard
    // again, with the focus back on the key that opened it: Tab goes on from there.
    void theFolderDialogGivesTheKeyboardBack_data() {
        QTest::addColumn<bool>("choose");
        QTest::newRow("a folder chosen") << true;
        QTest::newRow("cancelled") << false;
    }
    void theFolderDialogGivesTheKeyboardBack() {
        QFETCH(bool, choose);
        QTemporaryDir home;
        QWidget window;
        auto* column = new QVBoxLayout(&window);
        auto* chooseKey = new Key(u"Choose a Folder…"_s);
        column->addWidget(chooseKey);
        column->addWidget(new Key(u"continue"_s));
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        chooseKey->setFocus(Qt::TabFocusReason);
        QWidget* owner = nullptr;
        QTimer::singleShot(0, &window, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            owner = dialog->parentWidget();
            if (choose)
                static_cast<QDialog*>(dialog)->accept();
            else
                dialog->reject();
        });
        const std::optional<QString> chosen = welcome::chooseProjectsFolder(&window, home.path());
        QCOMPARE(owner, &window);
        QCOMPARE(chosen.has_value(), choose);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QVERIFY(chooseKey->hasFocus());
    }

    void theFolderStepShowsTheFolderAndTheAnswers() {
        Screen s;
        s.w.tools->status = DeveloperToolsStatus::ready;
        s.show();
        QCOMPARE(s.content->stepCell().accessibleName(), u"Step 1 of 3"_s); // tools there from the start
        QVERIFY(shownLabels(*s.content).contains(u"Where should the AI work?"_s));
        look(*s.content, u"welcome-folder"_s);

        s.w.chosenFolder = u"/home/me/src"_s;
        QTest::mouseClick(shownKey(*s.content, u"Choose a Folder…"_s), Qt::LeftButton);
        settle();
        QVERIFY(s.w.server->bodies.contains(R"({"path":"/home/me/src"})"));
        QVERIFY2(shownLabels(*s.content).contains(u"/home/me/src"_s), qPrintable(shownLabels(*s.content)));
        // The chosen folder sits on a glass field of its own, whole, and may be selected.
        for (const QLabel* label : s.content->findChildren<QLabel*>())
            if (label->isVisibleTo(s.content.get()) && label->text() == u"/home/me/src"_s) {
                QVERIFY(qobject_cast<GlassPanel*>(label->parentWidget()));
                QCOMPARE(label->textInteractionFlags(), Qt::TextSelectableByMouse);
            }
        QTest::mouseClick(shownKey(*s.content, u"continue"_s), Qt::LeftButton);
        settle();
        QCOMPARE(s.w.folders->asked.size(), 3);
        QCOMPARE(s.w.model->step(), WelcomeStep::folder); // the server's folder is not set yet
        QVERIFY(!shownKey(*s.content, u"Not now"_s));     // settled: no more declining
        QVERIFY(shownLabels(*s.content).contains(FolderAccessWords::deniedHelp.toString()));
        // Each folder's lamp says in words what its colour says.
        QStringList lamps;
        for (Lamp* lamp : s.content->findChildren<Lamp*>())
            if (lamp->isVisibleTo(s.content.get()) && lamp->accessibleName().contains(u": "_s))
                lamps.append(lamp->accessibleName());
        QCOMPARE(lamps.size(), 3);
        for (const QString& said : std::as_const(lamps))
            QVERIFY2(said.endsWith(u": allowed"_s) || said.endsWith(u": denied"_s), qPrintable(said));
        look(*s.content, u"welcome-folder-answered"_s);
    }

    // A path too long for its field is shortened in the middle and cannot be selected, since a copy
    // would hold the ellipsis; the whole path stays in its tooltip and its accessible name.
    void aLongFolderIsShortenedAndNotSelectable() {
        Screen s;
        s.w.tools->status = DeveloperToolsStatus::ready;
        const QString deep = u"/home/me/"_s + QStringList(12, u"a-rather-long-folder-name"_s).join(u'/');
        s.w.chosenFolder = deep;
        s.w.server->replies[u"POST /api/setup/project-folder"_s] = {
            200, "{\"ok\":true,\"cwd\":\"" + deep.toUtf8() + "\",\"bookmarks\":[]}"};
        s.show();
        QTest::mouseClick(shownKey(*s.content, u"Choose a Folder…"_s), Qt::LeftButton);
        settle();
        const QLabel* field = nullptr;
        for (const QLabel* label : s.content->findChildren<QLabel*>())
            if (label->isVisibleTo(s.content.get()) && label->toolTip() == deep)
                field = label;
        QVERIFY(field);
        QVERIFY2(field->text().contains(u'…') && field->text().size() < deep.size(),
                 qPrintable(field->text()));
        QCOMPARE(field->accessibleName(), deep);
        QCOMPARE(field->textInteractionFlags(), Qt::NoTextInteraction);
    }

    // Declining folder access puts "Not now" away and cools "continue" at once, from the answers as
    // they stand, even while the server does not answer.
    void decliningFolderAccessSettlesTheKeysAtOnce() {
        Screen s;
        s.w.tools->status = DeveloperToolsStatus::ready;
        s.w.chosenFolder = u"/home/me/src"_s;
        s.show();
        QTest::mouseClick(shownKey(*s.content, u"Choose a Folder…"_s), Qt::LeftButton);
        settle();
        QCOMPARE(static_cast<Key*>(shownKey(*s.content, u"continue"_s))->style().variant,
                 KeyStyle::Variant::hot);
        s.w.serverRunning = false;
        QTest::mouseClick(shownKey(*s.content, u"Not now"_s), Qt::LeftButton);
        settle();
        QVERIFY(!shownKey(*s.content, u"Not now"_s));
        QCOMPARE(static_cast<Key*>(shownKey(*s.content, u"continue"_s))->style().variant,
                 KeyStyle::Variant::chassis);
    }

    // Save waits for a key that is more than spaces, and sends it as typed; a failure shows in the
    // footer.
    void theAgentStepSavesKeysAsTyped() {
        Screen s;
        s.w.tools->status = DeveloperToolsStatus::ready;
        s.w.server->setProjectsConfigured(true);
        s.w.defaults->values.insert(FolderAccess::declinedKey.toString(), true);
        s.show();
        QCOMPARE(s.w.model->step(), WelcomeStep::agent);
        look(*s.content, u"welcome-agent"_s);
        QStringList alerts; // what a screen reader is told at once, by name
        FieldUnitAccessibility::setAnnouncementListener([&alerts](QWidget& said) {
            alerts.append(QAccessible::queryAccessibleInterface(&said)->text(QAccessible::Name));
        });
        QAbstractButton* showKeys = shownKey(*s.content, u"Use an API key instead"_s);
        QAccessibleInterface* shower = QAccessible::queryAccessibleInterface(showKeys);
        QVERIFY(shower->state().expandable && !shower->state().expanded);
        QTest::mouseClick(showKeys, Qt::LeftButton);
        QVERIFY(shownKey(*s.content, u"Hide API keys"_s));
        QVERIFY(shower->state().expanded);
        QCOMPARE(shower->text(QAccessible::Name), u"Hide API keys"_s);
        QVERIFY(shower->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        // The two "Save" keys say which key each saves.
        QStringList saves;
        for (QAbstractButton* key : s.content->findChildren<QAbstractButton*>())
            if (key->text() == u"Save"_s)
                saves.append(QAccessible::queryAccessibleInterface(key)->text(QAccessible::Name));
        QCOMPARE(saves, (QStringList{u"Save OpenAI API key"_s, u"Save Anthropic API key"_s}));
        auto* field = s.content->findChild<QLineEdit*>();
        QVERIFY(field && field->echoMode() == QLineEdit::Password);
        QAbstractButton* save = shownKey(*s.content, u"Save"_s);
        field->setText(u"   "_s);
        QVERIFY(!save->isEnabled());
        field->setText(u" sk-key "_s);
        QVERIFY(save->isEnabled());
        look(*s.content, u"welcome-agent-keys"_s);
        s.w.server->replies[u"POST /api/setup/agents/codex/key"_s] = {400,
                                                                      R"({"error":"That key was refused."})"};
        QTest::mouseClick(save, Qt::LeftButton);
        settle();
        QVERIFY(s.w.server->bodies.contains(R"({"apiKey":" sk-key "})"));
        QVERIFY(shownLabels(*s.content).contains(u"That key was refused."_s));
        // Said at once, though the focus is on the field: an alert with the words.
        QCOMPARE(alerts, QStringList{u"That key was refused."_s});
        FieldUnitAccessibility::setAnnouncementListener({});

        QTest::mouseClick(shownKey(*s.content, u"Hide API keys"_s), Qt::LeftButton);
        QTest::mouseClick(shownKey(*s.content, u"Sign in with ChatGPT"_s), Qt::LeftButton);
        settle();
        QVERIFY(shownLabels(*s.content).contains(u"ABCD-EFGH"_s));
        QVERIFY(ruleBetween(*s.content, u"ABCD-EFGH"_s, u"https://auth.example/device"_s));
        look(*s.content, u"welcome-agent-challenge"_s);
        QTest::mouseClick(shownKey(*s.content, u"Copy"_s), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"ABCD-EFGH"_s);
    }

    // Until the server says how a phone reaches it, the phone step shows a small spinner and waits.
    void thePhoneStepSpinsUntilItKnowsTheWayIn() {
        Screen s;
        s.w.tools->status = DeveloperToolsStatus::ready;
        s.w.serverRunning = false; // nothing read from the server yet
        s.show();
        while (s.w.model->step() != WelcomeStep::phone) {
            QAbstractButton* skip = shownKey(*s.content, u"Skip for now"_s);
            QVERIFY2(skip, qPrintable(shownLabels(*s.content)));
            QTest::mouseClick(skip, Qt::LeftButton);
            settle();
        }
        QVERIFY(!s.w.model->setupInfo());
        const auto* spinner = s.content->findChild<Spinner*>();
        QVERIFY(spinner && spinner->isVisible());
        look(*s.content, u"welcome-phone-waiting"_s);
    }

    void thePhoneStepShowsTheWayIn() {
        Screen s;
        s.w.setUpAllButThePhone();
        s.w.server->replies[u"GET /api/setup"_s].second =
            R"({"port":9111,"hostname":"studio.local","addresses":["192.168.1.5"],"lanEnabled":true,"projectsConfigured":true})";
        s.show();
        QCOMPARE(s.w.model->step(), WelcomeStep::phone);
        s.w.tick(); // the code is read one cycle after landing
        QVERIFY2(shownLabels(*s.content).contains(u"studio.local:9111"_s),
                 qPrintable(shownLabels(*s.content)));
        QVERIFY(shownLabels(*s.content).contains(u"111111"_s));
        QVERIFY(!s.content->findChild<Spinner*>()->isVisible());
        QVERIFY(ruleBetween(*s.content, u"or 192.168.1.5:9111"_s, u"111111"_s));
        look(*s.content, u"welcome-phone"_s);
        QTest::mouseClick(shownKey(*s.content, u"Copy"_s), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"studio.local:9111"_s);

        // Only this computer answers: the key asks the server's model to answer the network.
        s.w.server->replies[u"GET /api/setup"_s].second =
            R"({"port":9111,"hostname":"studio.local","addresses":["192.168.1.5"],"lanEnabled":false,"projectsConfigured":true})";
        s.w.tick();
        QVERIFY(shownLabels(*s.content).contains(u"Kestrin is only answering this computer"_s));
        look(*s.content, u"welcome-phone-not-answering"_s);
        QTest::mouseClick(shownKey(*s.content, u"Let my phone reach this computer"_s), Qt::LeftButton);
        QCOMPARE(s.server.model->networkPreference(), NetworkPreference::homeNetwork);

        s.w.server->replies[u"GET /api/pair/devices"_s].second =
            R"({"devices":[{"id":"p","name":"Ana’s Pixel"}]})";
        s.w.model->goBackToSkipped(); // nothing skipped: stays
        s.w.tick();
        QCOMPARE(s.w.model->step(), WelcomeStep::done); // paired: on to the end
    }

    // The poll runs only while the window is on screen.
    void closingTheWindowStopsThePoll() {
        Screen s;
        s.show();
        QVERIFY(s.w.model->isPolling());
        s.content->hide();
        QVERIFY(!s.w.model->isPolling());
        const int reads = s.w.server->counts.value(u"GET /api/setup"_s);
        s.w.tick();
        QCOMPARE(s.w.server->counts.value(u"GET /api/setup"_s), reads);
        s.content->show();
        QVERIFY(s.w.model->isPolling());
    }

    void theLastStepFinishes() {
        // The headline glows only once everything is ready.
        const auto headlineGlows = [](QWidget& screen, const QString& headline) {
            const QList<QLabel*> labels = screen.findChildren<QLabel*>();
            return std::ranges::any_of(labels, [&](const QLabel* label) {
                return label->isVisibleTo(&screen) && label->text() == headline && label->graphicsEffect() &&
                       label->graphicsEffect()->isEnabled();
            });
        };
        Screen s;
        s.w.setUpAllButThePhone();
        s.show();
        QTest::mouseClick(shownKey(*s.content, u"Skip for now"_s), Qt::LeftButton);
        QCOMPARE(s.w.model->step(), WelcomeStep::done);
        QVERIFY(!shownKey(*s.content, u"Skip for now"_s));
        QCOMPARE(s.content->stepCell().accessibleName(), u"FINISH"_s);
        QVERIFY(shownLabels(*s.content).contains(u"Still to do: pair your phone."_s));
        look(*s.content, u"welcome-done-not-ready"_s);

        // Everything done but the tools, which install: almost ready.
        s.w.server->replies[u"GET /api/pair/devices"_s].second = R"({"devices":[{"id":"p","name":"Pixel"}]})";
        s.w.tools->status = DeveloperToolsStatus::missing;
        s.w.model->installDeveloperTools();
        settle();
        QVERIFY(shownLabels(*s.content).contains(u"ALMOST READY"_s));
        QVERIFY(shownLabels(*s.content).contains(WelcomeFinishWords::whileInstalling.toString()));
        QVERIFY(!headlineGlows(*s.content, u"ALMOST READY"_s));
        look(*s.content, u"welcome-done-almost-ready"_s);
        s.w.tools->status = DeveloperToolsStatus::ready;

        s.w.server->replies[u"GET /api/pair/devices"_s].second = R"({"devices":[{"id":"p","name":"Pixel"}]})";
        s.w.tick();
        QCOMPARE(s.content->stepCell().accessibleName(), u"DONE"_s);
        QVERIFY(
            headlineGlows(*s.content, WelcomeFinishWords::headline(WelcomeFinishState::ready).toString()));
        look(*s.content, u"welcome-done"_s);
        QSignalSpy finished(s.content.get(), &welcome::WelcomeContent::finished);
        QTest::keyClick(s.content.get(), Qt::Key_Return);
        QCOMPARE(finished.count(), 1);
        QVERIFY(s.w.model->isCompleted());
        QVERIFY(!s.content->findChild<previews::LivePreviewsPanel*>()); // no previews model, no switch
    }

    // The last step speaks of the tray only where there is one, and says how to come back where not.
    void theLastStepSpeaksOfTheTrayOnlyWhereThereIsOne() {
        Screen s;
        s.w.setUpAllButThePhone();
        s.show();
        QTest::mouseClick(shownKey(*s.content, u"Skip for now"_s), Qt::LeftButton);
        QVERIFY(shownLabels(*s.content).contains(WelcomeWords::livesInTray.toString()));
        QVERIFY(shownLabels(*s.content).contains(WelcomeWords::glassesLater.toString()));
        s.content->setTrayCheck([] { return false; });
        const QString shown = shownLabels(*s.content);
        QVERIFY(shown.contains(WelcomeWords::livesWithoutTray.toString()));
        QVERIFY(shown.contains(WelcomeWords::glassesLaterWithoutTray.toString()));
        QVERIFY(!shown.contains(WelcomeWords::livesInTray.toString()));
        look(*s.content, u"welcome-done-without-tray"_s);
    }

    // Given the switch's model, the last step offers it once the setup is at least almost ready, and
    // it fits on the screen with everything else.
    void theLastStepOffersPreviewsWhenGivenTheirModel() {
        FakePreviewsServer previewsServer;
        PreviewsSwitchViewModel previews(previewsServer.operations());
        Screen s;
        s.w.setUpAllButThePhone();
        s.show(&previews);
        QTest::mouseClick(shownKey(*s.content, u"Skip for now"_s), Qt::LeftButton);
        const auto* panel = s.content->findChild<previews::LivePreviewsPanel*>();
        QVERIFY(panel);
        QVERIFY(!panel->isVisibleTo(s.content.get())); // not ready: nothing to preview yet
        QVERIFY(previewsServer.requests.isEmpty());

        s.w.server->replies[u"GET /api/pair/devices"_s].second = R"({"devices":[{"id":"p","name":"Pixel"}]})";
        s.w.tick();
        QCOMPARE(s.content->stepCell().accessibleName(), u"DONE"_s);
        QVERIFY(panel->isVisibleTo(s.content.get()));
        QTRY_COMPARE(previewsServer.requests, QStringList{u"load"_s}); // read as it came on screen
        QTRY_VERIFY(shownKey(*s.content, LivePreviewsWords::compactLabel.toString())->isEnabled());
        look(*s.content, u"welcome-done-with-previews"_s);
    }
};

QTEST_MAIN(TestWelcomeWindow)
#include "tst_WelcomeWindow.moc"
