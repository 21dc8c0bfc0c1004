// The application's named windows: each made once and brought forward, sized by its content, and,
// until its screen exists, saying plainly what it is for.

#include <corvane/controls/FieldUnitAccessibility.h>
#include <corvane/controls/FieldUnitFonts.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/Silk.h>
#include <corvane/controls/WindowTopBar.h>
#include <corvane/windows/AppWindow.h>
#include <corvane/windows/AppWindows.h>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

class TestAppWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QCOMPARE(FieldUnitFonts::registerFonts(QStringLiteral(KESTRIN_FONTS_DIR)), 3); }

    // The caption sits in the middle of the bar between two side areas of equal width: 80 points, or
    // the width of the larger thing they hold, so that it stays centred and clear of the close key and
    // of a wide corner.
    void theTopBarsCaptionIsCentredBetweenEqualSides_data() {
        QTest::addColumn<QString>("corner");
        QTest::addColumn<int>("side");
        const int closeKey = Key(u"Close"_s, {KeyStyle::Variant::chassis, true}).sizeHint().width();
        const int besideClose =
            std::max(WindowTopBar::sideWidth, WindowTopBar::leadingInset + closeKey - WindowTopBar::padding);
        QTest::newRow("no corner") << QString() << besideClose;
        QTest::newRow("a small corner") << u"1/4"_s << besideClose;
        QTest::newRow("a wide corner") << u"a corner wider than the close key"_s
                                       << Key(u"a corner wider than the close key"_s).sizeHint().width();
    }
    void theTopBarsCaptionIsCentredBetweenEqualSides() {
        QFETCH(QString, corner);
        QFETCH(int, side);
        AppWindow window(u"Software Update"_s);
        window.topBar().setLabel(u"Kestrin · update"_s);
        if (!corner.isEmpty())
            window.topBar().setCorner(new Key(corner));
        window.content()->addWidget(new QLabel(u"content"_s));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const WindowTopBar& bar = window.topBar();
        const auto* caption = bar.findChild<Silk*>();
        const auto* close = bar.findChild<Key*>();
        QCOMPARE(close->text(), u"Close"_s);
        const QRect label = caption->geometry();
        QCOMPARE(label.center().x(), bar.width() / 2);
        QVERIFY(label.left() >= WindowTopBar::padding + side);
        QVERIFY(label.right() < bar.width() - WindowTopBar::padding - side);
        QVERIFY(!label.intersects(close->geometry()));
        QCOMPARE(close->size(), close->sizeHint());
        QVERIFY(WindowTopBar::sideWidth <= side);
    }

    // The close key sits where the system's window buttons would be; when its words grow, the key
    // grows with them and the caption stays centred and clear of it.
    void theCloseKeyKeepsItsPlaceAsItGrows() {
        AppWindow window(u"Software Update"_s);
        window.topBar().setLabel(u"Kestrin · update"_s);
        window.content()->addWidget(new QLabel(u"content"_s));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        WindowTopBar& bar = window.topBar();
        auto* const close = bar.findChild<Key*>();
        const auto* caption = bar.findChild<Silk*>();
        const auto keyPlace = [&] { return close->mapTo(&bar, QPoint(0, 0)); };
        QCOMPARE(keyPlace().x(), WindowTopBar::leadingInset);
        QVERIFY(std::abs(keyPlace().y() + close->height() / 2 - bar.height() / 2) <= 1);

        close->setText(u"Close this window"_s);
        QTRY_COMPARE(close->size(), close->sizeHint());
        QCOMPARE(keyPlace().x(), WindowTopBar::leadingInset);
        QTRY_VERIFY2(caption->geometry().left() >= keyPlace().x() + close->width(),
                     qPrintable(u"caption at %1, key ends at %2, bar %3"_s.arg(caption->geometry().left())
                                    .arg(keyPlace().x() + close->width())
                                    .arg(bar.width())));
        QCOMPARE(caption->geometry().center().x(), bar.width() / 2);
    }

    void eachWindowIsMadeOnceWithItsTitle_data() {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("title");
        QTest::newRow("welcome") << u"welcome"_s << u"Welcome to Kestrin"_s;
        QTest::newRow("glasses") << u"glasses"_s << u"Set Up Your Glasses"_s;
        QTest::newRow("approval") << u"approval"_s << u"What Can the Agents Do?"_s;
        QTest::newRow("update") << u"update"_s << u"Software Update"_s;
        QTest::newRow("log") << u"log"_s << u"Server Log"_s;
        QTest::newRow("still running") << u"still-running"_s << u"Kestrin"_s;
    }
    void eachWindowIsMadeOnceWithItsTitle() {
        QFETCH(QString, identifier);
        QFETCH(QString, title);
        AppWindows windows;
        QCOMPARE(windows.window(identifier), nullptr); // closed at launch
        windows.open(identifier);
        AppWindow* const made = windows.window(identifier);
        QVERIFY(made && made->isVisible());
        QCOMPARE(made->windowTitle(), title);
        // First shown in the middle of the screen, whether or not a window manager places it.
        const QRect screen = made->screen()->availableGeometry();
        QVERIFY(screen.contains(made->frameGeometry()));
        QVERIFY((made->geometry().center() - screen.center()).manhattanLength() <= 2);
        made->move(screen.topLeft() + QPoint(30, 40)); // where the person dragged it
        made->close();
        windows.open(identifier);
        QCOMPARE(windows.window(identifier), made); // never a second one
        QVERIFY(made->isVisible());
        QCOMPARE(made->pos(), screen.topLeft() + QPoint(30, 40)); // it comes back where it was left
        // Sized by its content: it cannot be made larger or smaller.
        QCOMPARE(made->minimumSize(), made->maximumSize());
        QVERIFY(made->windowFlags().testFlag(Qt::FramelessWindowHint));
        QDir().mkpath(QStringLiteral(GALLERY_DIR));
        QVERIFY(made->grab().save(u"%1/window-%2.png"_s.arg(QStringLiteral(GALLERY_DIR), identifier)));
        // Escape does what the close key does.
        made->activateWindow();
        QTest::keyClick(made, Qt::Key_Escape);
        QVERIFY(!made->isVisible());
    }

    // A window opens with the focus on its first control, not on the close key, and a screen reader
    // hears it as a window named by its title.
    void aWindowOpensReadyForTheKeyboard() {
        FieldUnitAccessibility::install();
        AppWindows windows;
        windows.setBuilder(u"glasses"_s, [](AppWindow& window) {
            window.content()->addWidget(new Key(u"Set up my glasses"_s, {KeyStyle::Variant::hot}));
        });
        windows.open(u"glasses"_s);
        AppWindow* const made = windows.window(u"glasses"_s);
        QVERIFY(QTest::qWaitForWindowActive(made));
        auto* first = qobject_cast<Key*>(QApplication::focusWidget());
        QVERIFY(first);
        QCOMPARE(first->text(), u"Set up my glasses"_s);
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(made);
        QCOMPARE(window->role(), QAccessible::Window);
        QCOMPARE(window->text(QAccessible::Name), u"Set Up Your Glasses"_s);
    }

    // News the person did not ask for shows without taking the keyboard, and never pulls an open window
    // forward; a window the person opens takes it again.
    void aQuietWindowLeavesTheKeyboardAlone() {
        AppWindows windows;
        windows.showQuietly(u"update"_s);
        AppWindow* const made = windows.window(u"update"_s);
        QVERIFY(made && made->isVisible());
        QVERIFY(made->testAttribute(Qt::WA_ShowWithoutActivating));
        windows.open(u"update"_s);
        QCOMPARE(windows.window(u"update"_s), made);
        QVERIFY(!made->testAttribute(Qt::WA_ShowWithoutActivating));
        windows.showQuietly(u"update"_s); // already shown: left as it is
        QVERIFY(!made->testAttribute(Qt::WA_ShowWithoutActivating));
        windows.showQuietly(u"nothing"_s);
        QCOMPARE(windows.window(u"nothing"_s), nullptr);
    }

    void anUnbuiltWindowSaysWhatItIsFor() {
        AppWindows windows;
        windows.open(u"glasses"_s);
        const QList<QLabel*> labels = windows.window(u"glasses"_s)->findChildren<QLabel*>();
        QCOMPARE(labels.size(), 1);
        QVERIFY(labels.first()->text().contains(u"glasses"_s));
    }

    // A window whose screen grows after it was shown (a read came in) keeps its centre.
    void aGrowingWindowKeepsItsCentre() {
        AppWindows windows;
        QLabel* words = nullptr;
        windows.setBuilder(u"approval"_s, [&](AppWindow& window) {
            words = new QLabel(u"Reading…"_s);
            window.content()->addWidget(words);
        });
        windows.open(u"approval"_s);
        AppWindow* const made = windows.window(u"approval"_s);
        const QPoint centre = made->geometry().center();
        const int height = made->height();
        words->setText(u"A ladder\nwith\nseveral\nlines"_s);
        QTRY_VERIFY(made->height() > height);
        QVERIFY((made->geometry().center() - centre).manhattanLength() <= 2);
    }

    void aBuilderFillsItsWindow() {
        AppWindows windows;
        int built = 0;
        windows.setBuilder(u"approval"_s, [&](AppWindow& window) {
            ++built;
            window.content()->addWidget(new QLabel(u"the ladder"_s));
        });
        windows.open(u"approval"_s);
        windows.open(u"approval"_s);
        QCOMPARE(built, 1);
        QCOMPARE(windows.window(u"approval"_s)->findChildren<QLabel*>().first()->text(), u"the ladder"_s);
    }

    void unknownIdentifiersChangeNothing() {
        AppWindows windows;
        windows.open(u"settings"_s);
        QCOMPARE(windows.window(u"settings"_s), nullptr);
        windows.activateWindow(u"nothing"_s);
        windows.open(u"welcome"_s);
        windows.activateWindow(u"wel"_s); // a prefix finds it
        QVERIFY(windows.window(u"welcome"_s)->isVisible());
    }
};

QTEST_MAIN(TestAppWindows)
#include "tst_AppWindows.moc"
