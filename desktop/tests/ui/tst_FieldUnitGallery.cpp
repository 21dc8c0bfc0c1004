// The field-unit controls drawn offscreen: what each shows in each state, and a gallery of PNG files
// under the build folder (gallery/) at pixel ratios 1 and 2, to be looked at.

#include "support/Gallery.h"

#include <corvane/look/FieldUnitPalette.h>

#include <corvane/controls/Cell.h>
#include <corvane/controls/ChassisGround.h>
#include <corvane/controls/ChassisPanel.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/FieldLink.h>
#include <corvane/controls/FieldSelector.h>
#include <corvane/controls/FieldToggle.h>
#include <corvane/controls/FieldUnitAccessibility.h>
#include <corvane/controls/FieldUnitFonts.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/FittedLine.h>
#include <corvane/controls/GlassPanel.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/Lamp.h>
#include <corvane/controls/LeadedLabel.h>
#include <corvane/controls/ReducedMotion.h>
#include <corvane/controls/Silk.h>
#include <corvane/controls/Spinner.h>
#include <corvane/controls/StatusLine.h>
#include <corvane/controls/WindowTopBar.h>
#include <corvane/tray/KestrinIcon.h>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(corvane::ReadoutLamp)

namespace {

QColor pixel(const QImage& image, QPointF at) {
    return image.pixelColor((at * image.devicePixelRatio()).toPoint());
}

} // namespace

class TestFieldUnitGallery : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QCOMPARE(FieldUnitFonts::registerFonts(QStringLiteral(KESTRIN_FONTS_DIR)), 3); }

    void aLampShowsItsColourAndGlowsUnlessOff_data() {
        QTest::addColumn<ReadoutLamp>("mode");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("glows");
        QTest::newRow("live") << ReadoutLamp::live << FU::live << true;
        QTest::newRow("working") << ReadoutLamp::working << FU::live << true;
        QTest::newRow("waiting") << ReadoutLamp::waiting << FU::alert << true;
        QTest::newRow("ok") << ReadoutLamp::ok << FU::ok << true;
        QTest::newRow("off") << ReadoutLamp::off << FU::lampOff << false;
    }
    void aLampShowsItsColourAndGlowsUnlessOff() {
        QFETCH(ReadoutLamp, mode);
        QFETCH(QColor, colour);
        QFETCH(bool, glows);
        Lamp lamp(mode, 10);
        for (const qreal ratio : {1.0, 2.0}) {
            const QImage image = rendered(lamp, ratio);
            const QPointF centre = QRectF(lamp.rect()).center();
            QCOMPARE(pixel(image, centre), colour);
            // Just beyond the dot's edge: the glow, or nothing at all.
            QCOMPARE(pixel(image, centre + QPointF(6.5, 0)).alpha() > 0, glows);
        }
    }

    void onlyAWorkingLampOnScreenPulses() {
        Lamp lamp(ReadoutLamp::working, 10);
        QVERIFY(!lamp.isPulsing()); // not on screen yet
        lamp.show();
        QVERIFY(lamp.isPulsing());
        QTRY_VERIFY(lamp.dotOpacity() < 0.9);
        ReducedMotion::instance().set(true); // the desktop asks for less motion
        QVERIFY(!lamp.isPulsing());
        QCOMPARE(lamp.dotOpacity(), 1.0);
        ReducedMotion::instance().set(false);
        QVERIFY(lamp.isPulsing());
        lamp.setMode(ReadoutLamp::ok);
        QVERIFY(!lamp.isPulsing());
        lamp.setMode(ReadoutLamp::working);
        lamp.hide();
        QVERIFY(!lamp.isPulsing());
    }

    // A beat goes from full to a quarter and back, each 0.8 s change easing in and out on its own: the
    // dim end turns as gently as the bright one.
    void thePulseEasesAtBothEnds() {
        QCOMPARE(Lamp::pulseStrength(0), 1.0);
        QCOMPARE(Lamp::pulseStrength(0.5), 0.25);
        QCOMPARE(Lamp::pulseStrength(1), 1.0);
        const qreal step = 0.01;
        const qreal atBright = Lamp::pulseStrength(0) - Lamp::pulseStrength(step);
        const qreal atDim = Lamp::pulseStrength(0.5 + step) - Lamp::pulseStrength(0.5);
        const qreal midway = Lamp::pulseStrength(0.25) - Lamp::pulseStrength(0.25 + step);
        QVERIFY(atBright < midway / 10);
        QVERIFY(atDim < midway / 10);
    }

    // A spinner turns only while on screen, and holds still while the desktop asks for less motion.
    void aSpinnerTurnsOnlyOnScreenAndNotForLessMotion() {
        Spinner spinner;
        QVERIFY(!spinner.isTurning());
        spinner.show();
        QVERIFY(spinner.isTurning());
        const QImage first = rendered(spinner);
        QTRY_VERIFY(rendered(spinner) != first); // it moves
        spinner.hide();
        QVERIFY(!spinner.isTurning());
        spinner.show();
        ReducedMotion::instance().set(true);
        QVERIFY(!spinner.isTurning());
        ReducedMotion::instance().set(false);
        QVERIFY(spinner.isTurning());
        saveToGallery(spinner, u"spinner"_s);
    }

    // While the desktop asks for less motion, a key's press and a toggle's slide jump to where they end.
    void movesJumpWhenLessMotionIsAsked() {
        ReducedMotion::instance().set(true);
        Key key(u"Start"_s);
        FieldToggle toggle(u"Answer my home network"_s);
        key.show();
        toggle.show();
        QTest::mousePress(&key, Qt::LeftButton);
        QCOMPARE(key.faceOffset(), 2.0);
        QTest::mouseRelease(&key, Qt::LeftButton);
        QCOMPARE(key.faceOffset(), 0.0);
        const QImage off = rendered(toggle);
        toggle.setChecked(true);
        const QImage on = rendered(toggle); // at once, not part of the way
        toggle.setChecked(false);
        QCOMPARE(rendered(toggle), off);
        ReducedMotion::instance().set(false);
        toggle.setChecked(true);
        QVERIFY(rendered(toggle) != on); // sliding now
        QTRY_COMPARE(rendered(toggle), on);
    }

    void silkIsPrintedAndReadAsWritten() {
        FieldUnitAccessibility::install();
        Silk silk(u"START AT LOGIN WITH KESTRIN"_s, FU::silk);
        QCOMPARE(silk.printedText(), u"start at login with Kestrin"_s);
        QCOMPARE(QAccessible::queryAccessibleInterface(&silk)->role(), QAccessible::StaticText);
        Cell cell(u"STEP 1/4"_s, 13);
        QCOMPARE(QAccessible::queryAccessibleInterface(&cell)->role(), QAccessible::StaticText);
        QCOMPARE(silk.accessibleName(), u"START AT LOGIN WITH KESTRIN"_s);
        const int before = silk.sizeHint().width();
        silk.setText(u"ON"_s);
        QVERIFY(silk.sizeHint().width() < before);
    }

    // A status line's new sentence is said at once while it is on screen, and only then: a hidden
    // screen's words would come out of nowhere. The same sentence again is not said twice.
    void aStatusLineSaysNewWordsOnlyWhileShown() {
        QStringList said;
        FieldUnitAccessibility::setAnnouncementListener(
            [&said](QWidget& widget) { said.append(widget.accessibleName()); });
        StatusLine line(8, 13);
        line.set(ReadoutLamp::waiting, u"Kestrin couldn’t save that."_s);
        line.show();
        QVERIFY(QTest::qWaitForWindowExposed(&line));
        line.set(ReadoutLamp::waiting, u"The server refused that change."_s);
        line.set(ReadoutLamp::waiting, u"The server refused that change."_s);
        line.set(ReadoutLamp::off, QString());
        FieldUnitAccessibility::setAnnouncementListener({});
        QCOMPARE(said, QStringList{u"The server refused that change."_s});
    }

    // A leaded sentence keeps its extra points between lines, none above the first or below the last,
    // and wraps where a label would.
    void aLeadedSentenceHasAirBetweenItsLines() {
        const QString words =
            u"Wake them up and make sure their wi-fi is on and joined to the same network as "
            u"this computer, then press Try again."_s;
        const QFont font = FieldUnitText::text(15);
        const LeadedLabel leaded(words, font, FU::silk, 3);
        const LeadedLabel tight(words, font, FU::silk, 0);
        QLabel plain(words);
        plain.setWordWrap(true);
        plain.setFont(font);
        const int lines = (tight.heightForWidth(300) + 1) / QFontMetrics(font).height();
        QCOMPARE(lines, 3);
        QCOMPARE(leaded.heightForWidth(300) - tight.heightForWidth(300), 3 * (lines - 1));
        QVERIFY(std::abs(tight.heightForWidth(300) - plain.heightForWidth(300)) <= 2);
        QCOMPARE(leaded.text(), words);
        QCOMPARE(leaded.textFormat(), Qt::PlainText);
    }

    // A fitted line keeps its full size while it has the room, shrinks (its letter spacing with it)
    // to fit a smaller room, never below its smallest size, and keeps its height throughout.
    void aFittedLineShrinksToItsRoomDownToItsSmallest_data() {
        QTest::addColumn<qreal>("share"); // of the width the words take at full size
        QTest::addColumn<bool>("full");
        QTest::addColumn<bool>("fits");
        QTest::newRow("room enough") << 1.2 << true << true;
        QTest::newRow("a little short") << 0.8 << false << true;
        QTest::newRow("far too short") << 0.3 << false << false;
    }
    void aFittedLineShrinksToItsRoomDownToItsSmallest() {
        QFETCH(qreal, share);
        QFETCH(bool, full);
        QFETCH(bool, fits);
        const QFont face = FieldUnitText::display(u"Black"_s, 30, 2);
        FittedLine line(face, 0.6);
        line.setLine(u"482 913"_s);
        const int height = line.sizeHint().height();
        const int room = static_cast<int>(line.sizeHint().width() * share);
        line.show();
        line.resize(room, height);
        QCOMPARE(line.scale() == 1.0, full);
        QVERIFY(line.scale() >= 0.6);
        QCOMPARE(line.fontMetrics().horizontalAdvance(line.text()) <= room, fits);
        if (!fits)
            QCOMPARE(line.scale(), 0.6);
        if (!full)
            QVERIFY(line.font().letterSpacing() < 2);
        QCOMPARE(line.sizeHint().height(), height);
        line.resize(line.sizeHint().width(), height); // room again: full size again
        QCOMPARE(line.scale(), 1.0);
    }

    void aCellIsTheDisplayFaceOnGlass() {
        Cell cell(u"04:59"_s, 22);
        QCOMPARE(QFontInfo(cell.font()).family(), u"Doto"_s);
        const QFontMetrics metrics(cell.font());
        QCOMPARE(metrics.horizontalAdvance(u'1'), metrics.horizontalAdvance(u'0'));
        QCOMPARE(cell.sizeHint(), QSize(metrics.horizontalAdvance(u"04:59"_s) + 24, metrics.height() + 12));
        QCOMPARE(cell.accessibleName(), u"04:59"_s);
        const QImage image = rendered(cell);
        QCOMPARE(pixel(image, {3, cell.height() / 2.0}), FU::glass);
    }

    void theGroundHasItsGrain() {
        ChassisGround ground;
        ground.resize(40, 30);
        for (const qreal ratio : {1.0, 2.0}) {
            const QImage image = rendered(ground, ratio);
            QCOMPARE(pixel(image, {0.5, 0.5}), FU::chassis);
            QVERIFY(pixel(image, {6, 6}).lightness() < FU::chassis.lightness()); // a dot
            QCOMPARE(pixel(image, {11, 11}), FU::chassis);
            // Every 12 points, across and down.
            for (const QPointF next : {QPointF(18, 6), QPointF(30, 18), QPointF(6, 18)})
                QVERIFY(pixel(image, next).lightness() < FU::chassis.lightness());
            QCOMPARE(pixel(image, {23, 23}), FU::chassis);
        }
        ground.resize(5, 5);
        const QImage tiny = rendered(ground);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
                QCOMPARE(tiny.pixelColor(x, y), FU::chassis);
    }

    void aKeyIsPressedByClickOrSpaceButNotWhenDisabled() {
        Key key(u"Start"_s);
        key.show();
        QSignalSpy clicked(&key, &QAbstractButton::clicked);
        QTest::mouseClick(&key, Qt::LeftButton);
        key.setFocus();
        QTest::keyClick(&key, Qt::Key_Space);
        QCOMPARE(clicked.count(), 2);
        key.setEnabled(false);
        QTest::mouseClick(&key, Qt::LeftButton);
        QTest::keyClick(&key, Qt::Key_Space);
        QCOMPARE(clicked.count(), 2);
        // Painted text is invisible to a screen reader: the key is a button named by its label.
        QAccessibleInterface* const reader = QAccessible::queryAccessibleInterface(&key);
        QVERIFY(reader);
        QCOMPARE(reader->role(), QAccessible::Button);
        QCOMPARE(reader->text(QAccessible::Name), u"Start"_s);
    }

    void aKeySinksWhilePressed() {
        Key key(u"Copy"_s);
        key.show();
        QTest::mousePress(&key, Qt::LeftButton);
        QTRY_COMPARE(key.faceOffset(), Key::travel);
        QTest::mouseRelease(&key, Qt::LeftButton);
        QTRY_COMPARE(key.faceOffset(), 0.0);
    }

    // Every focusable control shows where the keyboard is, while the keyboard is in use: from a key
    // press to the next click. Its ring stands out (3:1 and more) from what it covers, on light, orange
    // and dark faces and grounds alike; a click gives no ring.
    void everyControlShowsTheFocusWhileTheKeyboardIsInUse_data() {
        QTest::addColumn<QString>("control");
        for (const char* kind :
             {"key", "hot key", "dark key", "toggle", "toggle on glass", "segment", "link"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void everyControlShowsTheFocusWhileTheKeyboardIsInUse() {
        QFETCH(QString, control);
        QWidget window;
        const bool onGlass = control.contains(u"glass"_s) || control == u"dark key"_s;
        window.setAutoFillBackground(true);
        QPalette ground = window.palette();
        ground.setColor(QPalette::Window, onGlass ? FU::glass : FU::chassis);
        window.setPalette(ground);
        auto* column = new QVBoxLayout(&window);
        QWidget* focused = nullptr;
        if (control.endsWith(u"key"_s))
            focused = new Key(u"Start"_s, {control == u"hot key"_s    ? KeyStyle::Variant::hot
                                           : control == u"dark key"_s ? KeyStyle::Variant::dark
                                                                      : KeyStyle::Variant::chassis});
        else if (control.startsWith(u"toggle"_s))
            focused = new FieldToggle(u"Answer my home network"_s,
                                      onGlass ? FieldToggle::Surface::glass : FieldToggle::Surface::chassis);
        else if (control == u"link"_s)
            focused = new FieldLink(u"Read more"_s);
        if (focused) {
            column->addWidget(focused);
        } else {
            auto* selector = new FieldSelector(ladder(), 1);
            column->addWidget(selector);
            focused = selector->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly).at(1);
        }
        window.resize(420, 120);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        focused->setFocus(Qt::MouseFocusReason);

        QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(2, 2));
        const QImage clicked = window.grab().toImage();
        QTest::keyClick(&window, Qt::Key_Shift);
        const QImage typing = window.grab().toImage();
        saveToGallery(window, u"focus-"_s + QString(control).replace(u' ', u'-'));
        int changed = 0;
        int standingOut = 0;
        for (int y = 0; y < typing.height(); ++y)
            for (int x = 0; x < typing.width(); ++x) {
                const QColor before = clicked.pixelColor(x, y);
                const QColor after = typing.pixelColor(x, y);
                if (before == after)
                    continue;
                ++changed;
                standingOut +=
                    FieldUnitPalette::contrastRatio(before.rgb() & 0xFFFFFF, after.rgb() & 0xFFFFFF) >= 3.0;
            }
        QVERIFY2(changed > 20, "no ring while typing");
        // A ring of two lines, one of which stands out from each face and ground.
        QVERIFY2(standingOut * 3 >= changed, qPrintable(u"%1 of %2"_s.arg(standingOut).arg(changed)));

        QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(window.grab().toImage(), clicked);
    }

    // Qt hands the focus on when the focused key hides: the ring follows it while the keyboard is in
    // use, since the next Space presses where it went.
    void theRingFollowsTheFocusHandedOn() {
        QWidget window;
        auto* column = new QVBoxLayout(&window);
        auto* first = new Key(u"Stop"_s);
        auto* key = new Key(u"Start"_s);
        column->addWidget(first);
        column->addWidget(key);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        first->setFocus(Qt::TabFocusReason);
        QTest::keyClick(first, Qt::Key_Shift);
        const QImage plain = rendered(*key);
        first->hide();
        QVERIFY(key->hasFocus());
        QVERIFY(rendered(*key) != plain);
    }

    // Return and Space press the focused control; the screen's default (a Return its ground answers)
    // hears Return only when no control takes it.
    void returnPressesTheFocusedControl() {
        class Screen final : public QWidget {
        public:
            int defaults = 0;

        protected:
            void keyPressEvent(QKeyEvent* event) override {
                if (event->key() == Qt::Key_Return)
                    ++defaults;
            }
        } screen;
        auto* column = new QVBoxLayout(&screen);
        auto* back = new Key(u"Go back"_s);
        auto* toggle = new FieldToggle(u"Answer my home network"_s);
        auto* link = new FieldLink(u"Read more"_s);
        column->addWidget(back);
        column->addWidget(toggle);
        column->addWidget(link);
        screen.show();
        QApplication::setActiveWindow(&screen);
        QVERIFY(QTest::qWaitForWindowActive(&screen));
        QSignalSpy wentBack(back, &QAbstractButton::clicked);
        QSignalSpy read(link, &QAbstractButton::clicked);
        back->setFocus();
        QTest::keyClick(back, Qt::Key_Return);
        QTest::keyClick(back, Qt::Key_Enter);
        QTest::keyClick(back, Qt::Key_Space);
        QCOMPARE(wentBack.count(), 3);
        toggle->setFocus();
        QTest::keyClick(toggle, Qt::Key_Return);
        QVERIFY(toggle->isChecked());
        link->setFocus();
        QTest::keyClick(link, Qt::Key_Return);
        QCOMPARE(read.count(), 1);
        QCOMPARE(screen.defaults, 0);
        screen.setFocus();
        QTest::keyClick(&screen, Qt::Key_Return);
        QCOMPARE(screen.defaults, 1);
    }

    // In a selector the arrows move the focus and choose nothing; Space or Return chooses the focused
    // option. While the choice is saved the selector is off; then the focus is back on the chosen one.
    void theArrowsMoveAlongASelectorWithoutChoosing() {
        QWidget window;
        auto* column = new QVBoxLayout(&window);
        auto* selector = new FieldSelector(ladder(), 1);
        column->addWidget(selector);
        column->addWidget(new Key(u"Done"_s));
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QSignalSpy asked(selector, &FieldSelector::selectRequested);
        const auto segments = selector->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
        segments[1]->setFocus(Qt::TabFocusReason);
        QTest::keyClick(segments[1], Qt::Key_Right);
        QVERIFY(segments[2]->hasFocus());
        QTest::keyClick(segments[2], Qt::Key_Right); // the last stays
        QVERIFY(segments[2]->hasFocus());
        QTest::keyClick(segments[2], Qt::Key_Left);
        QTest::keyClick(segments[1], Qt::Key_Left);
        QVERIFY(segments[0]->hasFocus());
        QCOMPARE(asked.count(), 0);
        QTest::keyClick(segments[0], Qt::Key_Return);
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked.last().first().toInt(), 0);

        selector->setEnabled(false); // saving
        QVERIFY(!segments[0]->hasFocus());
        selector->setSelection(0);
        selector->setEnabled(true);
        QVERIFY(segments[0]->hasFocus());
        QTest::keyClick(segments[0], Qt::Key_Right);
        QTest::keyClick(segments[1], Qt::Key_Space);
        QCOMPARE(asked.count(), 2);
        QCOMPARE(asked.last().first().toInt(), 1);
    }

    void aToggleFlipsFromAnywhereOnItsRowUnlessDisabled() {
        FieldToggle toggle(u"Answer my home network"_s);
        toggle.resize(toggle.sizeHint());
        toggle.show();
        QTest::mouseClick(&toggle, Qt::LeftButton, {}, QPoint(5, toggle.height() / 2)); // on the label
        QVERIFY(toggle.isChecked());
        QTRY_COMPARE(toggle.knobPosition(), 1.0);
        toggle.setFocus();
        QTest::keyClick(&toggle, Qt::Key_Space);
        QVERIFY(!toggle.isChecked());
        toggle.setEnabled(false);
        QTest::mouseClick(&toggle, Qt::LeftButton, {}, QPoint(toggle.width() - 5, toggle.height() / 2));
        QVERIFY(!toggle.isChecked());

        QAccessibleInterface* const reader = QAccessible::queryAccessibleInterface(&toggle);
        QCOMPARE(reader->role(), QAccessible::CheckBox);
        QCOMPARE(reader->text(QAccessible::Name), u"Answer my home network"_s);
    }

    void aLongToggleLabelWrapsRatherThanBeingCut() {
        const FieldToggle toggle(u"Start Kestrin when you log in to this computer, every time"_s);
        QVERIFY(toggle.heightForWidth(240) > toggle.heightForWidth(800));
        QCOMPARE(toggle.heightForWidth(800), 26); // one line sits within the track's height
    }

    void keyHeights_data() {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<int>("height");
        QTest::newRow("regular") << false << 41 + 3;
        QTest::newRow("compact") << true << 32 + 3;
    }
    void keyHeights() {
        QFETCH(bool, compact);
        QFETCH(int, height);
        const Key key(u"Quit"_s, {.compact = compact});
        QCOMPARE(key.sizeHint().height(), height);
    }

    // The approval ladder's shape: three options, the last one warns.
    static QList<FieldSelector::Option> ladder() {
        return {{u"Read only"_s}, {u"Ask"_s}, {u"Just run everything, no questions"_s, true}};
    }

    void aSelectorAsksAndTheOwnerSelects() {
        FieldSelector selector(ladder(), 1);
        selector.resize(420, selector.sizeHint().height());
        selector.show();
        QSignalSpy asked(&selector, &FieldSelector::selectRequested);
        const auto segments = selector.findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
        QCOMPARE(segments.size(), 3);
        QTest::mouseClick(segments[2], Qt::LeftButton);
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked.first().first().toInt(), 2);
        QCOMPARE(selector.selection(), 1); // only the owner changes it
        QVERIFY(segments[1]->isChecked() && !segments[2]->isChecked());
        selector.setSelection(2);
        QVERIFY(!segments[1]->isChecked() && segments[2]->isChecked());

        QAccessibleInterface* const reader = QAccessible::queryAccessibleInterface(segments[2]);
        QCOMPARE(reader->role(), QAccessible::RadioButton);
        QVERIFY(reader->state().checked);

        selector.setEnabled(false);
        QTest::mouseClick(segments[0], Qt::LeftButton);
        QCOMPARE(asked.count(), 1);
    }

    // Each option is 44 points high, whether its label takes one line or wraps onto two.
    void aSelectorsOptionsAre44PointsHighOnOneLineOrTwo() {
        FieldSelector selector(ladder(), 1);
        selector.resize(420, selector.heightForWidth(420));
        selector.show();
        layOutPending();
        const auto segments = selector.findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
        const QFontMetrics metrics(segments[2]->font());
        QVERIFY2(metrics.horizontalAdvance(u"just run everything, no questions"_s) > segments[2]->width(),
                 "the last label should wrap at this width");
        for (const QAbstractButton* segment : segments)
            QCOMPARE(segment->heightForWidth(segment->width()), 44);
    }

    // A warning option is tinted while not selected; selected, it stands as the raised cap and keeps
    // its lamp.
    void aWarningOptionIsTintedUntilSelected() {
        FieldSelector selector(ladder(), 1);
        selector.resize(420, selector.sizeHint().height());
        const auto segments = selector.findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
        const auto fillOf = [&](QAbstractButton* segment) {
            const QImage image = rendered(selector);
            return pixel(image, segment->geometry().topLeft() + QPointF(segment->width() / 2.0, 4));
        };
        QCOMPARE(fillOf(segments[2]), FU::wellWarning);
        QCOMPARE(fillOf(segments[1]), FU::keyHi);
        QCOMPARE(fillOf(segments[0]), FU::well);
        selector.setSelection(2);
        QCOMPARE(fillOf(segments[2]), FU::keyHi);
        QCOMPARE(segments[2]->findChildren<Lamp*>().size(), 1);
        QCOMPARE(segments[0]->findChildren<Lamp*>().size(), 0);
    }

    void aLinkIsClickedAndFadesWhilePressed() {
        FieldLink link(u"Terms of use"_s);
        link.show();
        QSignalSpy clicked(&link, &QAbstractButton::clicked);
        // How opaque the darkest ink of the drawn link is (it is drawn on nothing).
        const auto strongestInk = [&] {
            const QImage image = rendered(link);
            int ink = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    ink = std::max(ink, qAlpha(image.pixel(x, y)));
            return ink;
        };
        const int resting = strongestInk();
        const QPoint onLabel(5, link.height() / 2);
        QTest::mousePress(&link, Qt::LeftButton, {}, onLabel);
        QVERIFY(strongestInk() < resting);
        QTest::mouseRelease(&link, Qt::LeftButton, {}, onLabel);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(strongestInk(), resting);
    }

    void panelsAreTheirColours() {
        ChassisPanel chassis(u"Network"_s);
        chassis.resize(200, 80);
        QCOMPARE(pixel(rendered(chassis), {100, 60}), FU::panel);
        QCOMPARE(pixel(rendered(chassis), {100, 0}), FU::edge);
        GlassPanel glass;
        glass.resize(200, 80);
        const QImage screen = rendered(glass);
        QCOMPARE(pixel(screen, {100, 40}), FU::glass);
        QVERIFY(pixel(screen, {100, 6}).lightness() <= FU::glass.lightness()); // the shadow at the top
        QVERIFY(pixel(screen, {100, 79}).lightness() > FU::glass.lightness()); // the lip at the bottom
        WindowTopBar bar(u"Kestrin · your glasses"_s);
        bar.adjustSize();
        QCOMPARE(bar.height(), 52);
    }

    // The tray icon at the sizes panels use, on a light and a dark panel: not an empty icon, in the
    // live orange with its dark edge at every size, and the same figure as the desktop entry's SVG.
    void theIconReadsAtEverySize() {
        const QIcon icon = kestrinIcon();
        QVERIFY(!icon.isNull());
        const QIcon entryIcon(QStringLiteral(REPO_ROOT "/packaging/icons/kestrin.svg"));
        QImage sheet(QSize(16 + 22 + 32 + 48 + 64 + 6 * 8, 2 * (64 + 16)),
                     QImage::Format_ARGB32_Premultiplied);
        sheet.fill(QColor(0xF2, 0xF2, 0xF2));
        QPainter painter(&sheet);
        painter.fillRect(QRect(0, 64 + 16, sheet.width(), 64 + 16), QColor(0x20, 0x20, 0x22));
        int x = 8;
        for (const int size : {16, 22, 32, 48, 64}) {
            const QImage drawn = icon.pixmap(QSize(size, size)).toImage();
            QCOMPARE(drawn.size(), QSize(size, size));
            int orange = 0;
            int ink = 0;
            for (int py = 0; py < size; ++py)
                for (int px = 0; px < size; ++px) {
                    const QColor c = drawn.pixelColor(px, py);
                    orange += c.alpha() > 200 && c.red() > 200 && c.green() < 140 && c.blue() < 80;
                    ink += c.alpha() > 200 && c.lightness() < 60;
                }
            QVERIFY2(orange > size && ink > size,
                     qPrintable(u"%1 px: %2 orange, %3 ink"_s.arg(size).arg(orange).arg(ink)));
            // Pixel by pixel against the SVG, allowing only for how each smooths its edges.
            const QImage svg = entryIcon.pixmap(QSize(size, size)).toImage().convertToFormat(drawn.format());
            QCOMPARE(svg.size(), drawn.size());
            int worst = 0;
            qint64 total = 0;
            for (int py = 0; py < size; ++py)
                for (int px = 0; px < size; ++px) {
                    const QColor a = drawn.pixelColor(px, py);
                    const QColor b = svg.pixelColor(px, py);
                    const int difference =
                        std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                  std::abs(a.blue() - b.blue()), std::abs(a.alpha() - b.alpha())});
                    worst = std::max(worst, difference);
                    total += difference;
                }
            QVERIFY2(
                worst <= 64 && total <= size * size,
                qPrintable(
                    u"%1 px: differs from the SVG by up to %2, %3 in all"_s.arg(size).arg(worst).arg(total)));
            for (const int row : {0, 1})
                painter.drawImage(QPoint(x, 8 + row * (64 + 16) + (64 - size) / 2), drawn);
            x += size + 8;
        }
        painter.end();
        QDir().mkpath(QStringLiteral(GALLERY_DIR));
        QVERIFY(sheet.save(QStringLiteral(GALLERY_DIR "/icon.png")));
    }

    // Every control of this file on the ground it is made for.
    void gallery() {
        ChassisGround sheet;
        auto* column = new QVBoxLayout(&sheet);
        column->setContentsMargins(20, 20, 20, 20);
        column->setSpacing(14);
        column->addWidget(new Silk(u"Lamps of Kestrin: live, working, waiting, ok, off"_s, FU::silk));
        auto* lamps = new QHBoxLayout;
        for (const ReadoutLamp mode : {ReadoutLamp::live, ReadoutLamp::working, ReadoutLamp::waiting,
                                       ReadoutLamp::ok, ReadoutLamp::off}) {
            lamps->addWidget(new Lamp(mode, 8));
            lamps->addWidget(new Lamp(mode, 12));
        }
        lamps->addStretch();
        column->addLayout(lamps);
        column->addWidget(new Silk(u"Cells"_s, FU::silk));
        auto* cells = new QHBoxLayout;
        cells->addWidget(new Cell(u"482 913"_s, 22));
        cells->addWidget(new Cell(u"04:59"_s, 15));
        cells->addWidget(new Cell(u"ON"_s, 11));
        cells->addStretch();
        column->addLayout(cells);
        column->addWidget(new Silk(u"Ink silk on the chassis"_s, FU::ink));
        column->addWidget(new FieldLink(u"Terms of use"_s));
        column->addWidget(new Silk(u"Keys: resting, pressed, disabled; regular and compact"_s, FU::silk));
        auto* keys = new QGridLayout;
        keys->setHorizontalSpacing(10);
        keys->setVerticalSpacing(10);
        int row = 0;
        QList<Key*> sinking;
        for (const KeyStyle::Variant variant :
             {KeyStyle::Variant::chassis, KeyStyle::Variant::hot, KeyStyle::Variant::dark}) {
            for (const bool compact : {false, true}) {
                auto* resting = new Key(u"Start"_s, {variant, compact});
                auto* pressed = new Key(u"Copy"_s, {variant, compact});
                pressed->setDown(true);
                Q_EMIT pressed->pressed();
                sinking.append(pressed);
                auto* disabled = new Key(u"Stop"_s, {variant, compact});
                disabled->setEnabled(false);
                keys->addWidget(resting, row, 0);
                keys->addWidget(pressed, row, 1);
                keys->addWidget(disabled, row, 2);
                ++row;
            }
        }
        keys->setColumnStretch(3, 1);
        column->addLayout(keys);
        column->addWidget(
            new Silk(u"Selectors: ask selected; the warning one selected; disabled"_s, FU::silk));
        for (const int state : {0, 1, 2}) {
            auto* selector = new FieldSelector(ladder(), state == 1 ? 2 : 1);
            selector->setEnabled(state != 2);
            column->addWidget(selector);
        }
        column->addWidget(new Silk(u"Toggles on the chassis: off, on, disabled on"_s, FU::silk));
        for (const int state : {0, 1, 2}) {
            auto* toggle = new FieldToggle(u"Start at login"_s);
            toggle->setChecked(state > 0);
            toggle->setEnabled(state < 2);
            column->addWidget(toggle);
        }
        sheet.resize(560, 900);
        sheet.show();
        for (const Key* pressed : std::as_const(sinking))
            QTRY_COMPARE(pressed->faceOffset(), Key::travel);
        saveToGallery(sheet, u"controls"_s);
    }

    // A window's pieces together: the top bar, a chassis panel and the glass with what sits on it.
    void panels() {
        ChassisGround window;
        auto* column = new QVBoxLayout(&window);
        column->setContentsMargins(0, 0, 0, 20);
        column->setSpacing(12);
        column->addWidget(new WindowTopBar(u"Kestrin · your glasses"_s));
        auto* chassis = new ChassisPanel(u"Network"_s);
        chassis->content()->addWidget(new FieldToggle(u"Answer my home network"_s));
        auto* glass = new GlassPanel(16);
        auto* status = new QHBoxLayout;
        status->addWidget(new Lamp(ReadoutLamp::live, 8));
        status->addWidget(new Silk(u"Kestrin ON · PORT 9111"_s, FU::dText));
        status->addStretch();
        glass->content()->addLayout(status);
        glass->content()->addWidget(
            new FieldToggle(u"Keep the computer awake"_s, FieldToggle::Surface::glass));
        glass->content()->addWidget(new Key(u"New code"_s, {KeyStyle::Variant::dark, true}));
        for (QWidget* panel : {static_cast<QWidget*>(chassis), static_cast<QWidget*>(glass)}) {
            auto* inset = new QHBoxLayout;
            inset->setContentsMargins(20, 0, 20, 0);
            inset->addWidget(panel);
            column->addLayout(inset);
        }
        auto* code = new QHBoxLayout;
        code->setContentsMargins(20, 0, 20, 0);
        code->addWidget(new Silk(u"Then type this code"_s, FU::silk));
        code->addWidget(new Cell(u"482 913"_s, 22));
        code->addStretch();
        column->addLayout(code);
        column->addStretch();
        window.resize(400, 420);
        window.show();
        saveToGallery(window, u"panels"_s);
    }
};

QTEST_MAIN(TestFieldUnitGallery)
#include "tst_FieldUnitGallery.moc"
