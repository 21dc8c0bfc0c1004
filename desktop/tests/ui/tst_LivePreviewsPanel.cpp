// The live-previews panel and its consent sheet over the switch's model: the switch following the
// stage, turning on only through the sheet's "Turn on", off at once, the sheet's keys in both of its
// modes, the agent-permission screen carrying the panel only when given a model, and pictures of
// each stage.

#include "support/Gallery.h"
#include "support/PreviewsFixture.h"

#include <corvane/agents/ApprovalView.h>
#include <corvane/previews/LivePreviewsConsentSheet.h>
#include <corvane/previews/LivePreviewsPanel.h>
#include <corvane/previews/LivePreviewsWords.h>

#include <corvane/ApprovalViewModel.h>
#include <corvane/PreviewsSwitchViewModel.h>
#include <corvane/controls/FieldToggle.h>
#include <corvane/controls/FieldUnitFonts.h>
#include <corvane/controls/WindowTopBar.h>
#include <corvane/windows/AppWindow.h>

#include <QVBoxLayout>

using previews::LivePreviewsConsentSheet;
using previews::LivePreviewsPanel;
using Form = LivePreviewsPanel::Form;

namespace {

const QString didNotTake = LivePreviewsWords::didNotTake.toString();

// Writes the window to the gallery once every switch on it has come to rest.
void look(QWidget& window, const QString& name) {
    for (const FieldToggle* toggle : window.findChildren<FieldToggle*>())
        QTRY_COMPARE(toggle->knobPosition(), toggle->isChecked() ? 1.0 : 0.0);
    saveToGallery(window, name);
}

// The panel in one of the application's windows, at the width of the screen it sits in.
struct Host {
    AppWindow ground{u"Kestrin"_s};
    LivePreviewsPanel* panel;

    Host(PreviewsSwitchViewModel& model, Form form)
        : panel(new LivePreviewsPanel(model, form)) {
        panel->setFixedWidth(form == Form::compact ? 460 : 600);
        ground.content()->addWidget(panel);
    }
    FieldToggle* toggle() const { return panel->findChild<FieldToggle*>(); }
    void look(const QString& name) { ::look(ground, name); }
};

} // namespace

class TestLivePreviewsPanel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(FieldUnitFonts::registerFonts(QStringLiteral(KESTRIN_FONTS_DIR)), 3); }

    // On only through the sheet: the switch moved on asks and sends nothing; Escape declines;
    // Return turns on. Off is sent at once. While saving the switch shows what was in effect,
    // disabled; a refused change puts it back with the problem said.
    void turningOnAndOff_data() {
        QTest::addColumn<Form>("form");
        QTest::newRow("full") << Form::full;
        QTest::newRow("compact") << Form::compact;
    }
    void turningOnAndOff() {
        QFETCH(Form, form);
        const QString tag = form == Form::full ? u"full"_s : u"compact"_s;
        FakePreviewsServer server;
        server.loadGate = OneShot<bool>();
        PreviewsSwitchViewModel model(server.operations());
        Host host(model, form);
        host.ground.show(); // reads the setting
        QCOMPARE(server.requests, QStringList{u"load"_s});
        QVERIFY(!host.toggle()->isEnabled());
        host.look(u"previews-%1-loading"_s.arg(tag));
        server.loadGate->set(true);
        server.loadGate.reset();
        QTRY_VERIFY(host.toggle()->isEnabled());
        QVERIFY(!host.toggle()->isChecked());
        host.look(u"previews-%1-off"_s.arg(tag));

        QTest::mouseClick(host.toggle(), Qt::LeftButton);
        QVERIFY(host.panel->sheet());
        QVERIFY(host.panel->sheet()->isVisible());
        // Over the window that opened it: across its middle, just under its top bar.
        const QRect window = host.ground.frameGeometry();
        const QRect sheet = host.panel->sheet()->frameGeometry();
        QVERIFY(qAbs(sheet.center().x() - window.center().x()) <= 1);
        QCOMPARE(sheet.top(), window.top() + 52);
        QVERIFY(!host.toggle()->isChecked()); // what is in effect, not where the finger left it
        QCOMPARE(server.requests.size(), 1);
        QTest::keyClick(host.panel->sheet(), Qt::Key_Escape);
        QVERIFY(!model.asking());
        QTRY_VERIFY(!host.panel->sheet());
        QCOMPARE(server.requests.size(), 1);

        QTest::mouseClick(host.toggle(), Qt::LeftButton);
        QTest::keyClick(host.panel->sheet(), Qt::Key_Return);
        QTRY_VERIFY(host.toggle()->isChecked());
        QVERIFY(!model.asking());
        QCOMPARE(server.requests, (QStringList{u"load"_s, u"set on"_s}));
        host.look(u"previews-%1-on"_s.arg(tag));

        server.changeGate = OneShot<bool>();
        server.changed = previewsRefused;
        QTest::mouseClick(host.toggle(), Qt::LeftButton);
        QCOMPARE(server.requests.last(), u"set off"_s);
        QVERIFY(!host.panel->sheet()); // off asks nothing
        QVERIFY(host.toggle()->isChecked());
        QVERIFY(!host.toggle()->isEnabled());
        QVERIFY(shownLabels(*host.panel).contains(u"Saving…"_s));
        host.look(u"previews-%1-saving"_s.arg(tag));
        QTest::mouseClick(host.toggle(), Qt::LeftButton); // disabled: nothing asked
        QCOMPARE(server.requests.size(), 3);
        server.changeGate->set(true);
        QTRY_VERIFY(shownLabels(*host.panel).contains(didNotTake));
        QVERIFY(host.toggle()->isChecked());
        host.look(u"previews-%1-refused"_s.arg(tag));

        // Shown again, it reads again; a server that does not answer is said so.
        host.ground.hide();
        server.changeGate.reset();
        server.loaded = previewsRefused;
        host.ground.show();
        QTRY_VERIFY(shownLabels(*host.panel).contains(LivePreviewsWords::notRunning.toString()));
        QVERIFY(!host.toggle()->isChecked());
        QVERIFY(!host.toggle()->isEnabled());
        host.look(u"previews-%1-unavailable"_s.arg(tag));
    }

    // "What it can and can't do" opens the sheet to be read: its title is the feature's name and its
    // only key is Close, which Return presses. Nothing is sent.
    void theSheetCanBeOpenedJustToRead_data() {
        QTest::addColumn<Form>("form");
        QTest::newRow("full") << Form::full;
        QTest::newRow("compact") << Form::compact;
    }
    void theSheetCanBeOpenedJustToRead() {
        QFETCH(Form, form);
        FakePreviewsServer server;
        PreviewsSwitchViewModel model(server.operations());
        Host host(model, form);
        host.ground.show();
        QTRY_VERIFY(host.toggle()->isEnabled());
        QAbstractButton* readMore = shownKey(*host.panel, LivePreviewsWords::readMoreLabel.toString());
        QVERIFY(readMore);
        QTest::mouseClick(readMore, Qt::LeftButton);
        QVERIFY(model.reading());
        LivePreviewsConsentSheet* sheet = host.panel->sheet();
        QVERIFY(sheet);
        QVERIFY(shownLabels(*sheet).startsWith(u"Live previews | "_s));
        QVERIFY(shownKey(*sheet, u"Close"_s));
        QVERIFY(!shownKey(*sheet, u"Turn on"_s));
        QVERIFY(!shownKey(*sheet, u"Not now"_s));
        QTest::keyClick(sheet, Qt::Key_Return);
        QVERIFY(!model.reading());
        QTRY_VERIFY(!host.panel->sheet());
        QCOMPARE(server.requests, QStringList{u"load"_s});
    }

    // The window system closing the sheet (not the model) drops the question and the reading; so does
    // the window under the panel going away.
    void aSheetClosedFromOutsideDeclines() {
        FakePreviewsServer server;
        PreviewsSwitchViewModel model(server.operations());
        Host host(model, Form::full);
        host.ground.show();
        QTRY_VERIFY(host.toggle()->isEnabled());
        model.choose(true);
        QVERIFY(host.panel->sheet()->isVisible());
        host.panel->sheet()->close();
        QVERIFY(!model.asking());
        model.choose(true);
        model.setReading(true); // both at once: one sheet, still asking
        QVERIFY(shownKey(*host.panel->sheet(), u"Turn on"_s));
        host.ground.hide();
        QVERIFY(!model.asking());
        QVERIFY(!model.reading());
        QTRY_VERIFY(!host.panel->sheet());
        QCOMPARE(server.requests, QStringList{u"load"_s});
    }

    // The sheet in both of its modes, at the width it is made for.
    void theSheetInBothModes() {
        FakePreviewsServer server;
        PreviewsSwitchViewModel model(server.operations());
        model.showFixed({PreviewsSwitchStage::Ready{false, std::nullopt}}, true, false);
        LivePreviewsConsentSheet sheet(model);
        QCOMPARE(sheet.width(), 560);
        QStringList expected{LivePreviewsWords::consentTitle.toString()};
        for (const QStringView paragraph : LivePreviewsWords::explanation)
            expected.append(paragraph.toString());
        QCOMPARE(shownLabels(sheet), expected.join(u" | "_s));
        QVERIFY(shownKey(sheet, u"Not now"_s) && shownKey(sheet, u"Turn on"_s));
        QVERIFY(!shownKey(sheet, u"Close"_s));
        saveToGallery(sheet, u"previews-sheet-asking"_s);
        // A display-only model: the keys ask nothing of it.
        QTest::keyClick(&sheet, Qt::Key_Return);
        QTest::keyClick(&sheet, Qt::Key_Escape);
        QVERIFY(model.asking());
        QCOMPARE(server.requests, QStringList());

        model.showFixed({PreviewsSwitchStage::Ready{false, std::nullopt}}, false, true);
        QVERIFY(shownLabels(sheet).startsWith(u"Live previews | "_s));
        QVERIFY(shownKey(sheet, u"Close"_s));
        QVERIFY(!shownKey(sheet, u"Turn on"_s));
        saveToGallery(sheet, u"previews-sheet-reading"_s);
    }

    // The agent-permission screen carries the full panel only when it is given the switch's model.
    void theAgentScreenCarriesThePanelOnlyWithAModel() {
        ApprovalViewModel approval({});
        approval.showFixedStage({ApprovalScreenStage::Ready{ApprovalSnapshot{}, std::nullopt}});
        const agents::ApprovalView without(approval);
        QVERIFY(!without.findChild<LivePreviewsPanel*>());

        FakePreviewsServer server;
        PreviewsSwitchViewModel model(server.operations());
        model.showFixed({PreviewsSwitchStage::Ready{true, std::nullopt}}, false, false);
        AppWindow ground(u"What Can the Agents Do?"_s);
        ground.topBar().setLabel(u"Kestrin · agents"_s);
        auto* with = new agents::ApprovalView(approval, &model);
        ground.content()->addWidget(with);
        QVERIFY(with->findChild<LivePreviewsPanel*>());
        ground.show();
        QTest::mouseClick(ground.findChild<FieldToggle*>(), Qt::LeftButton);
        QCOMPARE(server.requests, QStringList()); // display-only: no read, no change
        QVERIFY(ground.findChild<FieldToggle*>()->isChecked());
        look(ground, u"approval-with-previews"_s);
    }
};

QTEST_MAIN(TestLivePreviewsPanel)
#include "tst_LivePreviewsPanel.moc"
