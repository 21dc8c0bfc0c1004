// The agent-permission screen over its model: what each stage shows, a tap on a ladder asking for the
// change, the ladders disabled while it saves, and a picture of each stage.

#include "support/ApprovalFixture.h"
#include "support/Gallery.h"

#include <corvane/agents/ApprovalModeWords.h>
#include <corvane/agents/ApprovalView.h>

#include <corvane/ApprovalViewModel.h>
#include <corvane/controls/FieldSelector.h>
#include <corvane/controls/FieldUnitFonts.h>
#include <corvane/controls/Lamp.h>
#include <corvane/controls/WindowTopBar.h>
#include <corvane/windows/AppWindow.h>

#include <QAbstractButton>
#include <QLabel>
#include <QTest>

namespace {

FieldSelector* selector(const QWidget& screen, const QString& name) {
    for (FieldSelector* candidate : screen.findChildren<FieldSelector*>())
        if (candidate->accessibleName() == name)
            return candidate;
    return nullptr;
}

// Taps the option at `index`: each option is a segment of its own.
void tap(FieldSelector* ladder, int index) {
    QTest::mouseClick(ladder->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly).at(index),
                      Qt::LeftButton);
}

// The screen in the window the application puts it in, which grows with its stage.
struct Screen {
    AppWindow window{u"What Can the Agents Do?"_s};
    agents::ApprovalView& view;
    explicit Screen(ApprovalViewModel& model)
        : view(*new agents::ApprovalView(model)) {
        window.topBar().setLabel(u"Kestrin · agents"_s);
        window.content()->addWidget(&view);
    }
};

} // namespace

class TestApprovalView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(FieldUnitFonts::registerFonts(QStringLiteral(KESTRIN_FONTS_DIR)), 3); }

    void eachStageShowsWhatItShould() {
        FakeServer server;
        server.loadGate = OneShot<bool>();
        ApprovalViewModel model(server.operations());
        Screen screen(model);
        agents::ApprovalView& view = screen.view;
        screen.window.show(); // reads the modes
        QVERIFY(shownLabels(view).contains(u"Reading the current settings…"_s));
        saveToGallery(screen.window, u"approval-loading"_s);
        QCOMPARE(server.requests, QStringList{u"load"_s});

        server.loaded = ApprovalSnapshot{ClaudeApprovalMode::justRun, CodexApprovalMode::dangerFull};
        server.loadGate->set(true);
        server.loadGate.reset();
        QTRY_VERIFY(selector(view, u"Codex"_s)->isVisible());
        QCOMPARE(selector(view, u"Claude"_s)->selection(), 2);
        QCOMPARE(selector(view, u"Codex"_s)->selection(), 2);
        // Only Codex's mode without a sandbox is marked as a warning.
        const auto warnings = [&](const QString& ladder) {
            QList<bool> marked;
            for (const QAbstractButton* segment :
                 selector(view, ladder)->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly))
                marked.append(!segment->findChildren<Lamp*>().isEmpty());
            return marked;
        };
        QCOMPARE(warnings(u"Claude"_s), (QList<bool>{false, false, false}));
        QCOMPARE(warnings(u"Codex"_s), (QList<bool>{false, false, true}));
        QVERIFY(shownLabels(view).contains(
            CodexApprovalModes::explanation(CodexApprovalMode::dangerFull).toString()));
        saveToGallery(screen.window, u"approval-danger"_s);

        // A tap asks for the change; the ladders wait, disabled, while it saves.
        server.changeGate = OneShot<bool>();
        tap(selector(view, u"Codex"_s), 0);
        QCOMPARE(server.requests.last(), u"codex ask"_s);
        QVERIFY(!selector(view, u"Codex"_s)->isEnabled());
        QVERIFY(shownLabels(view).contains(u"Saving…"_s));
        saveToGallery(screen.window, u"approval-saving"_s);
        tap(selector(view, u"Claude"_s), 0); // disabled: nothing asked
        QCOMPARE(server.requests.size(), 2);
        server.changed = refused;
        server.changeGate->set(true);
        QTRY_VERIFY(shownLabels(view).contains(ApprovalLadderFlow::failedChangeWords.toString()));
        QCOMPARE(selector(view, u"Codex"_s)->selection(), 2); // the modes in effect, not the one asked for
        saveToGallery(screen.window, u"approval-refused"_s);

        // Shown again, it reads again; a server that does not answer is said so.
        screen.window.hide();
        server.changeGate.reset();
        server.loaded = refused;
        screen.window.show();
        QTRY_VERIFY(shownLabels(view).contains(ApprovalLadderFlow::unavailableWords.toString()));
        QVERIFY(!selector(view, u"Codex"_s)->isVisible());
        saveToGallery(screen.window, u"approval-unavailable"_s);
    }

    // From the keyboard alone, as with radio buttons: Tab stops once at each ladder, on its chosen
    // option, showing the focus; the arrows then reach every option of it.
    void theKeyboardReachesEveryOption() {
        FakeServer server;
        server.loaded = ApprovalSnapshot{ClaudeApprovalMode::ask, CodexApprovalMode::ask};
        ApprovalViewModel model(server.operations());
        Screen screen(model);
        screen.window.show();
        screen.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&screen.window));
        QTRY_VERIFY(selector(screen.view, u"Codex"_s)->isVisible());
        const QList<QWidget*> reached = tabWalk(screen.window, u"approval"_s);
        QList<QAbstractButton*> stops;
        for (QWidget* control : reached)
            if (qobject_cast<FieldSelector*>(control->parentWidget()))
                stops.append(qobject_cast<QAbstractButton*>(control));
        QCOMPARE(stops.size(), 2);
        for (QAbstractButton* stop : std::as_const(stops)) {
            QVERIFY(stop->isChecked());
            const QList<QAbstractButton*> options =
                stop->parentWidget()->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
            options.first()->setFocus();
            QSet<QWidget*> visited{options.first()};
            for (int step = 1; step < options.size(); ++step) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
                visited.insert(QApplication::focusWidget());
            }
            QCOMPARE(visited.size(), options.size());
        }
        QCOMPARE(server.requests, QStringList{u"load"_s}); // moving chose nothing
    }

    void aPreviewShowsAFixedStageAndAsksNothing() {
        FakeServer server;
        ApprovalViewModel model(server.operations());
        model.showFixedStage({ApprovalScreenStage::Ready{ApprovalSnapshot{}, std::nullopt}});
        Screen screen(model);
        agents::ApprovalView& view = screen.view;
        screen.window.show();
        tap(selector(view, u"Claude"_s), 2);
        QCOMPARE(server.requests, QStringList());
        saveToGallery(screen.window, u"approval-ready"_s);
    }
};

QTEST_MAIN(TestApprovalView)
#include "tst_ApprovalView.moc"
