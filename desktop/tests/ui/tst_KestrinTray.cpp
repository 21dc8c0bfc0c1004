// The tray: the panel beside the icon or, with no tray on the desktop, as a window; the plain menu
// with the panel's rows for trays that only show menus.

#include "support/ServerViewModelFixture.h"

#include <corvane/shell/TrayIcon.h>
#include <corvane/status/MenuWords.h>

#include <corvane/menu/MenuContent.h>
#include <corvane/tray/KestrinTray.h>
#include <corvane/tray/PopupPlacement.h>
#include <corvane/tray/TrayPopup.h>

#include <QAccessible>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

#include <utility>

using namespace corvane;
using namespace std::chrono_literals;

namespace {

// A StatusNotifierItem host, as far as the tray sees one.
class FakeTrayIcon : public TrayIcon {
public:
    bool shown = false;
    bool known = true;
    QList<Pixmap> sizes;
    QString toolTip;
    QList<MenuRow> rows;

    bool isShown() const override { return shown; }
    bool isSettled() const override { return known; }
    void setIcon(const QList<Pixmap>& icon) override { sizes = icon; }
    void setToolTip(const QString& text) override { toolTip = text; }
    void setMenu(const QList<MenuRow>& menu) override { rows = menu; }
    void show(bool there) {
        shown = there;
        Q_EMIT shownChanged(there);
    }
    void settle() {
        known = true;
        Q_EMIT settled();
    }
};

qsizetype rowIndex(const QList<TrayIcon::MenuRow>& rows, const QString& title) {
    for (qsizetype i = 0; i < rows.size(); ++i)
        if (rows[i].title == title)
            return i;
    return -1;
}

QAction* action(const QMenu& menu, const QString& text) {
    for (QAction* candidate : menu.actions())
        if (candidate->text() == text)
            return candidate;
    return nullptr;
}

} // namespace

// A notifier that keeps what it is asked to show.
class HeldNotifier final : public Notifier {
public:
    QList<Notice> shown;
    void show(const Notice& notice) override { shown.append(notice); }
};

class TestKestrinTray : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void withoutATrayThePanelIsAWindow() {
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable()); // the offscreen desktop has none
        Fixture f;
        f.make();
        KestrinTray tray(*f.model, f.updates);
        QVERIFY(!tray.panel().windowFlags().testFlag(Qt::Popup));
        tray.showPanel();
        QVERIFY(tray.panel().isVisible());
        QCOMPARE(tray.panel().width(), menu::MenuContent::fixedWidth);
    }

    // The tray is asked at each show, not once: one that appears after Kestrin (at login, say) gets
    // the popup, and one that goes away leaves an ordinary window.
    void thePanelFollowsTheTrayAtEachShow() {
        Fixture f;
        f.make();
        bool trayThere = false;
        KestrinTray tray(*f.model, f.updates, nullptr, [&trayThere] { return trayThere; });
        for (const bool there : {false, true, false}) {
            trayThere = there;
            tray.showPanel();
            QVERIFY(tray.panel().isVisible());
            QCOMPARE(tray.panel().kind(), there ? TrayPopup::Kind::popup : TrayPopup::Kind::window);
            QCOMPARE(tray.panel().windowFlags().testFlag(Qt::Popup), there);
            QCOMPARE(tray.panel().windowTitle(), u"Kestrin"_s);
            tray.panel().hide();
        }
    }

    // Closing the panel's window where there is no tray is said once; the panel putting itself away
    // for a row's window, or a tray being there, says nothing.
    void closingTheWindowWithoutATrayIsToldOnce() {
        Fixture f;
        f.make();
        bool trayThere = false;
        KestrinTray tray(*f.model, f.updates, nullptr, [&trayThere] { return trayThere; });
        QSignalSpy told(&tray, &KestrinTray::closedWithoutTray);
        tray.showPanel();
        Q_EMIT tray.panel().content().openWindowRequested(u"approval"_s);
        QVERIFY(!tray.panel().isVisible());
        QCOMPARE(told.count(), 0);

        tray.showPanel();
        QTest::keyClick(&tray.panel(), Qt::Key_Escape);
        QVERIFY(!tray.panel().isVisible());
        QCOMPARE(told.count(), 1);
        tray.showPanel();
        QVERIFY(tray.panel().close());
        QCOMPARE(told.count(), 1);

        KestrinTray withTray(*f.model, f.updates, nullptr, [] { return true; });
        QSignalSpy toldWithTray(&withTray, &KestrinTray::closedWithoutTray);
        withTray.panel().showPlacedBySystem(TrayPopup::Kind::window);
        QVERIFY(withTray.panel().close());
        QCOMPARE(toldWithTray.count(), 0);
    }

    // With no tray after the wait, the panel shows as a window so that the person sees Kestrin runs;
    // not when a tray came meanwhile, when another of Kestrin's windows is there, or when the panel
    // was already asked for.
    void withNoTrayThePanelShowsAsAWindowAfterTheWait_data() {
        QTest::addColumn<bool>("trayAppears");
        QTest::addColumn<bool>("hostAppears");
        QTest::addColumn<bool>("welcomeShowing");
        QTest::addColumn<bool>("askedMeanwhile");
        QTest::addColumn<bool>("shown");
        QTest::newRow("no tray, nothing else") << false << false << false << false << true;
        QTest::newRow("a tray appeared") << true << false << false << false << false;
        QTest::newRow("a StatusNotifierItem host appeared") << false << true << false << false << false;
        QTest::newRow("the welcome is there") << false << false << true << false << false;
        QTest::newRow("shown and closed before") << false << false << false << true << false;
    }
    void withNoTrayThePanelShowsAsAWindowAfterTheWait() {
        QFETCH(bool, trayAppears);
        QFETCH(bool, hostAppears);
        QFETCH(bool, welcomeShowing);
        QFETCH(bool, askedMeanwhile);
        QFETCH(bool, shown);
        Fixture f;
        f.make();
        bool trayThere = false;
        FakeTrayIcon status;
        KestrinTray tray(*f.model, f.updates, &status, [&trayThere] { return trayThere; });
        // No wait at all: the decision is taken at the loop's next turn, with the desktop as it is then.
        tray.showPanelUnlessTrayAppears([welcomeShowing] { return welcomeShowing; }, 0ms);
        if (askedMeanwhile) {
            tray.showPanel(); // a second launch asked for it, and the person closed it
            tray.panel().close();
        }
        trayThere = trayAppears;
        status.show(hostAppears);
        QCoreApplication::processEvents();
        QCOMPARE(tray.panel().isVisible(), shown);
        if (shown)
            QCOMPARE(tray.panel().kind(), TrayPopup::Kind::window);
    }

    // A StatusNotifierItem host takes the icon while it shows it, and Qt's own icon stands aside so
    // that there is never a second one; it goes back to Qt's when the host goes. Until the item knows
    // whether a host is there, Qt's icon is neither made nor asked about the tray.
    void aStatusNotifierHostTakesTheIconWhileItIsThere() {
        Fixture f;
        f.make();
        FakeTrayIcon status;
        status.known = false;
        int trayChecks = 0;
        KestrinTray tray(*f.model, f.updates, &status, [&trayChecks] { return ++trayChecks, false; });
        QVERIFY(!tray.offersQtIcon());
        QVERIFY(!tray.trayShown());
        QCOMPARE(trayChecks, 0);
        status.settle();
        QVERIFY(tray.offersQtIcon());
        QVERIFY(!tray.trayShown());
        QCOMPARE(trayChecks, 1);
        QCOMPARE(status.toolTip, u"Kestrin"_s);
        QCOMPARE(status.sizes.size(), 6);
        for (const TrayIcon::Pixmap& size : std::as_const(status.sizes))
            QCOMPARE(size.argb.size(), size.width * size.height * 4);
        // Drawn, not blank: some pixel of the 22-point icon is opaque.
        const TrayIcon::Pixmap& small = status.sizes.at(1);
        QCOMPARE(small.width, 22);
        bool opaque = false;
        for (qsizetype i = 0; i < small.argb.size(); i += 4)
            opaque = opaque || static_cast<uchar>(small.argb.at(i)) == 0xff; // alpha leads
        QVERIFY(opaque);

        status.show(true);
        QVERIFY(!tray.offersQtIcon());
        status.show(false);
        QVERIFY(tray.offersQtIcon());
    }

    // With a screen reader on, the panel opens beside the icon as a window the application's accessible
    // tree holds (a popup is left out of it), with the focus on its first control.
    void withAScreenReaderThePanelIsInTheTreeWithTheFocusOnItsFirstControl() {
        Fixture f;
        f.make();
        FakeTrayIcon status;
        KestrinTray tray(*f.model, f.updates, &status, [] { return false; });
        status.show(true);
        tray.setScreenReaderCheck([] { return true; });
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        Q_EMIT status.activated(QPoint(screen.right() - 40, screen.top() + 10));
        QVERIFY(tray.panel().isVisible());
        QCOMPARE(tray.panel().kind(), TrayPopup::Kind::floating);
        QVERIFY(screen.contains(tray.panel().geometry()));
        QVERIFY(QTest::qWaitForWindowActive(&tray.panel()));
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused && tray.panel().isAncestorOf(focused));
        QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp);
        bool inTree = false;
        for (int i = 0; i < application->childCount(); ++i)
            inTree = inTree || application->child(i)->object() == &tray.panel();
        QVERIFY(inTree);
        tray.panel().hide();
    }

    // The host's click shows the panel beside the point it gives, inside the screen's free area; a
    // second click closes it. Escape closes it too.
    void aHostsClickShowsThePanelAtItsPointAndASecondClosesIt() {
        Fixture f;
        f.make();
        FakeTrayIcon status;
        KestrinTray tray(*f.model, f.updates, &status, [] { return false; });
        status.show(true);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint at(screen.right() - 40, screen.top() + 10);
        Q_EMIT status.activated(at);
        QVERIFY(tray.panel().isVisible());
        QCOMPARE(tray.panel().kind(), TrayPopup::Kind::popup);
        QCOMPARE(tray.panel().pos(),
                 PopupPlacement::place(QRect(at, QSize(1, 1)), tray.panel().size(), screen));
        QVERIFY(screen.contains(tray.panel().geometry()));

        Q_EMIT status.activated(at);
        QVERIFY(!tray.panel().isVisible());
        QTest::qWait(KestrinTray::closingClickMs + 50);
        Q_EMIT status.activated(at);
        QVERIFY(tray.panel().isVisible());
        QTest::keyClick(&tray.panel(), Qt::Key_Escape);
        QVERIFY(!tray.panel().isVisible());
    }

    // Where the compositor places windows (Wayland), the panel is a frameless window it puts where it
    // likes, which goes when the focus moves elsewhere; Qt's own icon, with no tray to dock in there,
    // is never offered.
    void whereTheCompositorPlacesWindowsThePanelFloats() {
        Fixture f;
        f.make();
        FakeTrayIcon status;
        KestrinTray tray(
            *f.model, f.updates, &status, [] { return false; }, KestrinTray::Placement::byCompositor);
        QVERIFY(!tray.offersQtIcon());
        status.show(true);
        Q_EMIT status.activated(QPoint(900, 10));
        QVERIFY(tray.panel().isVisible());
        QCOMPARE(tray.panel().kind(), TrayPopup::Kind::floating);
        QVERIFY(tray.panel().windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(!tray.panel().windowFlags().testFlag(Qt::Popup));
        QVERIFY(QTest::qWaitForWindowActive(&tray.panel()));

        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        QTRY_VERIFY(!tray.panel().isVisible());
        status.show(false);
        QVERIFY(!tray.offersQtIcon());
    }

    // The host's menu has the plain menu's rows and states, follows them, and its clicks do what the
    // rows do.
    void theHostsMenuHasThePlainMenusRows() {
        Fixture f;
        f.make();
        FakeTrayIcon status;
        KestrinTray tray(*f.model, f.updates, &status, [] { return false; });
        QSignalSpy quits(&tray, &KestrinTray::quitRequested);
        QCOMPARE(status.rows.size(), tray.menu().actions().size());
        for (qsizetype i = 0; i < status.rows.size(); ++i) {
            const QAction* row = tray.menu().actions().at(i);
            QCOMPARE(status.rows[i], (TrayIcon::MenuRow{row->text(), row->isEnabled(), row->isSeparator()}));
        }
        const qsizetype start = rowIndex(status.rows, u"Start"_s);
        const qsizetype stop = rowIndex(status.rows, u"Stop"_s);
        QVERIFY(status.rows[start].enabled && !status.rows[stop].enabled);

        Q_EMIT status.rowTriggered(static_cast<int>(start));
        settle();
        QVERIFY(f.model->state().isRunning());
        QVERIFY(!status.rows[start].enabled && status.rows[stop].enabled);

        Q_EMIT status.rowTriggered(static_cast<int>(rowIndex(status.rows, u"Quit"_s)));
        QCOMPARE(quits.count(), 1);
        f.model->supervisor().stop();
        settle();
    }

    void thePopupLiesBesideTheIconOnScreen() {
        Fixture f;
        f.make();
        TrayPopup popup(*f.model, f.updates, TrayPopup::Kind::popup);
        QVERIFY(popup.windowFlags().testFlag(Qt::Popup));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect icon(screen.right() - 30, screen.top() + 2, 24, 24);
        popup.showBeside(icon);
        QCOMPARE(popup.pos(), PopupPlacement::place(icon, popup.size(), screen));
        QVERIFY(popup.pos().x() + popup.width() <= screen.right() + 1);
        QVERIFY(popup.pos().x() >= screen.left() && popup.pos().y() >= screen.top());
        popup.hide();
    }

    // Measured as it will look when shown, and kept beside the icon as it grows while shown: above an
    // icon at the bottom, a panel that grows moves up rather than over the icon or off the screen.
    void thePopupStaysBesideTheIconAsItGrows() {
        Fixture f;
        f.loginItems->failure = u"The system would not add Kestrin to your login items."_s;
        f.make();
        TrayPopup popup(*f.model, f.updates, TrayPopup::Kind::popup);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect icon(screen.right() - 30, screen.bottom() - 25, 24, 24);
        popup.showBeside(icon);
        settle();
        const int shownHeight = popup.height();
        QCOMPARE(popup.geometry().bottom(), icon.top() - 5);

        f.model->loginItem().setEnabled(true); // refused: the panel shows the problem, and grows
        f.model->publishLoginItem();
        settle();
        QVERIFY(popup.height() > shownHeight);
        QCOMPARE(popup.geometry().bottom(), icon.top() - 5);

        // Hidden, it follows nothing and gives back its window; shown again, it is measured as it now
        // looks, so it does not jump once it has appeared.
        popup.hide();
        settle();
        QVERIFY(!popup.testAttribute(Qt::WA_WState_Created));
        f.loginItems->failure.reset();
        f.model->loginItem().setEnabled(true); // this time it works, and the problem is gone
        f.model->publishLoginItem();
        QVERIFY(!f.model->loginProblem());
        popup.showBeside(icon);
        const QRect placed = popup.geometry();
        settle();
        QCOMPARE(popup.geometry(), placed);
        QCOMPARE(placed.bottom(), icon.top() - 5);
        QCOMPARE(placed.height(), shownHeight);
        popup.hide();
    }

    void thePlainMenuHasThePanelsRows() {
        Fixture f;
        f.make();
        KestrinTray tray(*f.model, f.updates);
        QSignalSpy windows(&tray, &KestrinTray::openWindowRequested);
        QSignalSpy quits(&tray, &KestrinTray::quitRequested);
        action(tray.menu(), MenuWords::setUpGlasses.toString())->trigger();
        action(tray.menu(), MenuWords::agentPermissions.toString())->trigger();
        action(tray.menu(), MenuWords::setupGuide.toString())->trigger();
        QCOMPARE(windows.count(), 3);
        QCOMPARE(windows.at(0).first().toString(), u"glasses"_s);
        QCOMPARE(windows.at(2).first().toString(), u"welcome"_s);

        QAction* start = action(tray.menu(), u"Start"_s);
        QAction* stop = action(tray.menu(), u"Stop"_s);
        QVERIFY(start->isEnabled() && !stop->isEnabled());
        start->trigger();
        settle();
        QVERIFY(f.model->state().isRunning());
        QVERIFY(!start->isEnabled() && stop->isEnabled());
        stop->trigger();
        settle();
        QVERIFY(!f.model->state().isRunning());

        // The update entry says what the panel's key says, and is as unavailable.
        const QAction* update = action(tray.menu(), u"Check for updates… · You have 0.4.2"_s);
        QVERIFY(update && !update->isEnabled());

        action(tray.menu(), u"Quit"_s)->trigger();
        QCOMPARE(quits.count(), 1);
    }

    // A failure is said on the desktop once; after the server has run again, the next one is too.
    void aFailureIsNotifiedOncePerFailure() {
        Fixture f;
        f.probe->busyFor(-1); // the port is taken
        f.make();
        KestrinTray tray(*f.model, f.updates);
        f.model->start();
        settle();
        QVERIFY(f.model->state().failure().has_value());
        QCOMPARE(tray.notifications(), QStringList{f.model->state().failure()->message()});
        QVERIFY(tray.notifications().first().contains(u"already in use"_s));
        f.model->start(); // refused again: the same failure, said no second time
        settle();
        QCOMPARE(tray.notifications().size(), 1);

        f.probe->busyFor(0);
        f.model->start();
        settle();
        QVERIFY(f.model->state().isRunning());
        QCOMPARE(tray.notifications().size(), 1);
        f.model->supervisor().stop();
        f.probe->busyFor(-1);
        f.model->start();
        settle();
        QCOMPARE(tray.notifications().size(), 2);
    }

    // Through the desktop's notifications the failure offers "Start again", which starts the server,
    // and "Show log", which opens the log's window; where no notification server answers, the tray
    // says it instead.
    void aFailureNoticeOffersToStartAgainAndToShowTheLog() {
        Fixture f;
        f.probe->busyFor(-1);
        f.make();
        KestrinTray tray(*f.model, f.updates);
        HeldNotifier notifier;
        tray.setNotifier(&notifier);
        QSignalSpy opened(&tray, &KestrinTray::openWindowRequested);
        f.model->start();
        settle();
        QCOMPARE(notifier.shown.size(), 1);
        const Notice& notice = notifier.shown.first();
        QCOMPARE(notice.title, u"Kestrin stopped"_s);
        QCOMPARE(notice.body, f.model->state().failure()->message());
        QCOMPARE(notice.actions, (QList<Notice::Action>{{u"start-again"_s, u"Start again"_s},
                                                        {u"show-log"_s, u"Show log"_s}}));
        Q_EMIT notifier.actionInvoked(u"show-log"_s);
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.first().first().toString(), u"log"_s);
        f.probe->busyFor(0);
        Q_EMIT notifier.actionInvoked(u"start-again"_s);
        settle();
        QVERIFY(f.model->state().isRunning());
        Q_EMIT notifier.actionInvoked(u"something else"_s);
        QCOMPARE(opened.count(), 1);
    }

    void aRowOfThePanelClosesItAndAsksForItsWindow() {
        Fixture f;
        f.make();
        KestrinTray tray(*f.model, f.updates);
        QSignalSpy windows(&tray, &KestrinTray::openWindowRequested);
        tray.showPanel();
        Q_EMIT tray.panel().content().openWindowRequested(u"approval"_s);
        QCOMPARE(windows.count(), 1);
        QVERIFY(!tray.panel().isVisible());
    }
};

QTEST_MAIN(TestKestrinTray)
#include "tst_KestrinTray.moc"
