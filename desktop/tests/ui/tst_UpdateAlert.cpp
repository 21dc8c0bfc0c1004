// The update alert over its model: each stage's words, keys and gauge, Return and Escape, closing the
// window, release notes shown as plain text, the window coming and going with the alert, and a
// picture of every stage.

#include "support/Gallery.h"
#include "support/ScriptedUpdater.h"

#include <corvane/updates/UpdateAlertView.h>

#include <corvane/UpdatesModel.h>
#include <corvane/controls/FieldUnitFonts.h>
#include <corvane/controls/Gauge.h>
#include <corvane/controls/KeyboardUse.h>
#include <corvane/controls/WindowTopBar.h>
#include <corvane/windows/AppWindow.h>

#include <QTest>
#include <QVBoxLayout>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(UpdateAlert)
Q_DECLARE_METATYPE(UpdateAnswer)

namespace {

const AppcastItem offeredItem{
    .version = u"412"_s,
    .shortVersion = u"0.4.2"_s,
    .url = QUrl(u"https://updates.example/Kestrin-0.4.2.zip"_s),
    .length = 48'200'000,
    .edSignature = QByteArray(64, 's'),
    .releaseNotes = u"The glasses reconnect by themselves after sleep.\nPairing codes are easier to read.\n"
                    u"Quitting waits for the server, never longer than it must."_s,
};

// The alert in the window the application gives it, over a model whose updater shows `alert`.
struct Alert {
    ScriptedUpdater* updater;
    UpdatesModel model;
    AppWindow window{u"Software Update"_s};
    updates::UpdateAlertView* view;
    explicit Alert(const UpdateAlert& alert,
                   std::unique_ptr<ScriptedUpdater> owned = std::make_unique<ScriptedUpdater>())
        : updater(owned.get())
        , model(InfoDictionary{{u"CFBundleShortVersionString"_s, u"0.4.1"_s}}, std::move(owned)) {
        updater->show(alert);
        view = new updates::UpdateAlertView(model);
        window.topBar().setLabel(u"Kestrin · update"_s);
        window.content()->addWidget(view);
        window.show();
        layOutPending();
    }
};

} // namespace

class TestUpdateAlert : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(FieldUnitFonts::registerFonts(QStringLiteral(KESTRIN_FONTS_DIR)), 3); }

    void eachStage_data() {
        QTest::addColumn<UpdateAlert>("alert");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<std::optional<UpdateAnswer>>("onReturn");
        QTest::addColumn<std::optional<UpdateAnswer>>("onEscape");
        QTest::addColumn<QString>("picture");
        using A = UpdateAlert;
        using enum UpdateAnswer;
        QTest::newRow("checking") << A{A::Checking{}} << QStringList{u"Cancel"_s}
                                  << std::optional<UpdateAnswer>() << std::optional(cancel) << u"checking"_s;
        QTest::newRow("offered") << A{A::Offered{offeredItem, u"0.4.1"_s}}
                                 << QStringList{u"Skip This Version"_s, u"Remind Me Later"_s,
                                                u"Install on Quit*"_s}
                                 << std::optional(installOnQuit) << std::optional(remindMeLater)
                                 << u"offered"_s;
        QTest::newRow("downloading") << A{A::Downloading{offeredItem, 19'300'000, 48'200'000}}
                                     << QStringList{u"Cancel"_s} << std::optional<UpdateAnswer>()
                                     << std::optional(cancel) << u"downloading"_s;
        QTest::newRow("preparing") << A{A::Preparing{offeredItem}} << QStringList{}
                                   << std::optional<UpdateAnswer>() << std::optional<UpdateAnswer>()
                                   << u"preparing"_s;
        QTest::newRow("ready") << A{A::Ready{offeredItem}} << QStringList{u"Later"_s, u"Quit and Install*"_s}
                               << std::optional(quitAndInstall) << std::optional(later) << u"ready"_s;
        QTest::newRow("up to date") << A{A::UpToDate{u"0.4.1"_s}} << QStringList{u"OK*"_s}
                                    << std::optional(ok) << std::optional(ok) << u"up-to-date"_s;
        QTest::newRow("failed") << A{A::Failed{UpdateWords::notSigned.toString()}} << QStringList{u"OK*"_s}
                                << std::optional(ok) << std::optional(ok) << u"failed"_s;
    }
    void eachStage() {
        QFETCH(UpdateAlert, alert);
        QFETCH(QStringList, keys);
        QFETCH(std::optional<UpdateAnswer>, onReturn);
        QFETCH(std::optional<UpdateAnswer>, onEscape);
        QFETCH(QString, picture);
        Alert a(alert);
        QCOMPARE(shownKeys(*a.view), keys);
        const QString labels = shownLabels(*a.view);
        QVERIFY2(labels.contains(alert.headline()) && labels.contains(alert.detail()), qPrintable(labels));
        QVERIFY(labels.contains(alert.word()));
        const auto* gauge = a.view->findChild<Gauge*>();
        QCOMPARE(gauge->isVisibleTo(a.view), std::holds_alternative<UpdateAlert::Downloading>(alert.value));
        QCOMPARE(gauge->value(), alert.progress());
        QCOMPARE(labels.contains(offeredItem.releaseNotes),
                 std::holds_alternative<UpdateAlert::Offered>(alert.value));
        QCOMPARE(a.window.size(), QSize(560, 460 - 376 + 360));
        saveToGallery(a.window, u"update-"_s + picture);

        QTest::keyClick(a.view, Qt::Key_Return);
        QTest::keyClick(a.view, Qt::Key_Escape);
        QList<UpdateAnswer> expected;
        if (onReturn)
            expected.append(*onReturn);
        if (onEscape)
            expected.append(*onEscape);
        QCOMPARE(a.updater->answers, expected);
    }

    // Each key gives its own answer; closing the window answers as Escape does.
    // From the keyboard alone: Tab reaches every key, each showing the focus; Return presses the focused
    // key, and the hot one only when the focus is on no other.
    void theKeyboardReachesAndPressesEveryKey() {
        Alert a(UpdateAlert{UpdateAlert::Offered{offeredItem, u"0.4.1"_s}});
        a.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&a.window));
        const QList<QWidget*> reached = tabWalk(a.window, u"update"_s);
        const QStringList names = namesOf(reached);
        for (const QString& key :
             {u"Close"_s, u"Skip This Version"_s, u"Remind Me Later"_s, u"Install on Quit"_s})
            QVERIFY2(names.contains(key), qPrintable(names.join(u" | "_s)));
        shownKey(*a.view, u"Skip This Version"_s)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(a.updater->answers, QList<UpdateAnswer>{UpdateAnswer::skipThisVersion});
    }

    // The window opens with the focus on the hot key, and a new stage's keys give it to their own hot
    // key: Return answers as the alert promises, whatever key came first in the row.
    void returnAnswersWithTheHotKeyAsTheStagesChange() {
        Alert a(UpdateAlert{UpdateAlert::Offered{offeredItem, u"0.4.1"_s}});
        a.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&a.window));
        KeyboardUse::focusFirstControl(a.window, &a.window.topBar());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        a.updater->show(UpdateAlert{UpdateAlert::Ready{offeredItem}});
        layOutPending();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(a.updater->answers,
                 (QList<UpdateAnswer>{UpdateAnswer::installOnQuit, UpdateAnswer::quitAndInstall}));
    }

    void keysAndClosingAnswer() {
        Alert a(UpdateAlert{UpdateAlert::Offered{offeredItem, u"0.4.1"_s}});
        shownKey(*a.view, u"Skip This Version"_s)->click();
        shownKey(*a.view, u"Install on Quit"_s)->click();
        a.window.close();
        QCOMPARE(a.updater->answers,
                 (QList<UpdateAnswer>{UpdateAnswer::skipThisVersion, UpdateAnswer::installOnQuit,
                                      UpdateAnswer::remindMeLater}));
    }

    // The alert follows the updater: the download's gauge moves, the keys change with the stage, and
    // release notes that look like markup are shown as they were written.
    void theAlertFollowsTheUpdater() {
        AppcastItem marked = offeredItem;
        marked.releaseNotes = u"Use <b>--headless</b> & see"_s;
        Alert a(UpdateAlert{UpdateAlert::Offered{marked, u"0.4.1"_s}});
        QVERIFY(shownLabels(*a.view).contains(u"Use <b>--headless</b> & see"_s));
        a.updater->show(UpdateAlert{UpdateAlert::Downloading{marked, 10, 40}});
        layOutPending();
        QCOMPARE(a.view->findChild<Gauge*>()->value(), 0.25);
        QCOMPARE(a.view->findChild<Gauge*>()->accessibleDescription(), u"25 %"_s);
        QCOMPARE(shownKeys(*a.view), QStringList{u"Cancel"_s});
        a.updater->show(UpdateAlert{UpdateAlert::Downloading{marked, 30, 40}});
        QCOMPARE(a.view->findChild<Gauge*>()->value(), 0.75);
        a.updater->show(UpdateAlert{UpdateAlert::Ready{marked}});
        layOutPending();
        QCOMPARE(shownKeys(*a.view), (QStringList{u"Later"_s, u"Quit and Install*"_s}));
        QVERIFY(!shownLabels(*a.view).contains(u"--headless"_s));
    }
};

QTEST_MAIN(TestUpdateAlert)
#include "tst_UpdateAlert.moc"
