// The graphical face as the application builds it: each window with its top bar's caption and its
// screen, the welcome opening by itself on a first run only, and the update alert brought forward or
// shown quietly as the updater says.

#include "support/ApprovalFixture.h"
#include "support/Gallery.h"
#include "support/HandLogFollower.h"
#include "support/ScriptedUpdater.h"
#include "support/WelcomeFixture.h"

#include <corvane/agents/ApprovalView.h>
#include <corvane/glasses/GlassesSetupView.h>
#include <corvane/updates/UpdateAlertView.h>
#include <corvane/welcome/WelcomeContent.h>
#include <corvane/welcome/WelcomeLaunch.h>

#include <corvane/ApprovalViewModel.h>
#include <corvane/GlassesViewModel.h>
#include <corvane/ServerLogModel.h>
#include <corvane/TrayFace.h>
#include <corvane/UpdatesModel.h>
#include <corvane/controls/Cell.h>
#include <corvane/controls/Silk.h>
#include <corvane/controls/WindowTopBar.h>
#include <corvane/logs/LogView.h>
#include <corvane/tray/TrayPopup.h>
#include <corvane/windows/AppWindow.h>

#include <QApplication>
#include <QDir>
#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

// The face over the models of every screen, as the application makes it.
struct Face {
    Welcome welcome;
    Fixture server;
    FakeServer approvalServer;
    ScriptedUpdater* updater = nullptr;
    std::unique_ptr<UpdatesModel> updates;
    std::unique_ptr<ApprovalViewModel> approval;
    std::unique_ptr<GlassesViewModel> glasses;
    std::unique_ptr<ServerLogModel> log;
    std::unique_ptr<TrayFace> face;

    void make() {
        welcome.make();
        server.make();
        auto owned = std::make_unique<ScriptedUpdater>();
        updater = owned.get();
        updates = std::make_unique<UpdatesModel>(
            InfoDictionary{{u"CFBundleShortVersionString"_s, u"0.4.1"_s}}, std::move(owned));
        approval = std::make_unique<ApprovalViewModel>(approvalServer.operations());
        glasses = std::make_unique<GlassesViewModel>(
            std::make_shared<GlassesSetup>(GlassesSetup::Dependencies{}), std::nullopt);
        log = std::make_unique<ServerLogModel>(std::make_unique<HandLogFollower>(), u"/logs/server.log"_s);
        face = std::make_unique<TrayFace>(*server.model, *updates,
                                          ScreenModels{.welcome = welcome.model.get(),
                                                       .approval = approval.get(),
                                                       .glasses = glasses.get(),
                                                       .updates = updates.get(),
                                                       .log = log.get()},
                                          AppBundle{.path = u"/opt/Kestrin"_s, .info = {}});
    }
    ~Face() {
        face.reset(); // its windows go before the models they show
    }
    AppWindow* opened(const QString& identifier) {
        face->windows().open(identifier);
        settle();
        return face->windows().window(identifier);
    }
};

QString captionOf(AppWindow& window) {
    return window.topBar().findChild<Silk*>()->text();
}

const AppcastItem offered{
    .version = u"412"_s,
    .shortVersion = u"0.4.2"_s,
    .url = QUrl(u"https://updates.example/Kestrin-0.4.2.zip"_s),
    .length = 48'200'000,
    .edSignature = QByteArray(64, 's'),
    .releaseNotes = u"Pairing codes are easier to read."_s,
};

} // namespace

class TestTrayFace : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { qunsetenv(WelcomeLaunch::suppressVariable.toLatin1().constData()); }

    // Each named window shows its own screen under its caption; the welcome's corner says the step.
    void eachWindowHasItsCaptionAndScreen() {
        Face f;
        f.make();
        struct Expected {
            QString identifier;
            QString caption;
            const QMetaObject* screen;
        };
        const QList<Expected> windows{
            {u"welcome"_s, u"Kestrin · setup"_s, &welcome::WelcomeContent::staticMetaObject},
            {u"approval"_s, u"Kestrin · agents"_s, &agents::ApprovalView::staticMetaObject},
            {u"glasses"_s, u"Kestrin · your glasses"_s, &glasses::GlassesSetupView::staticMetaObject},
            {u"update"_s, u"Kestrin · update"_s, &updates::UpdateAlertView::staticMetaObject},
            {u"log"_s, u"Kestrin · server log"_s, &logs::LogView::staticMetaObject},
            {u"still-running"_s, u"Kestrin"_s, nullptr},
        };
        for (const Expected& expected : windows) {
            AppWindow* window = f.opened(expected.identifier);
            QVERIFY2(window && window->isVisible(), qPrintable(expected.identifier));
            QCOMPARE(captionOf(*window), expected.caption);
            if (expected.screen) {
                bool found = false;
                for (const QWidget* child : window->findChildren<QWidget*>())
                    found = found || child->metaObject() == expected.screen;
                QVERIFY2(found, qPrintable(expected.identifier));
            }
            saveToGallery(*window, u"face-"_s + expected.identifier);
        }
        // The welcome's step, in the top bar's corner.
        AppWindow* welcome = f.face->windows().window(u"welcome"_s);
        const auto* step = welcome->topBar().findChild<Cell*>();
        QVERIFY(step && step->isVisible());
        QVERIFY2(step->text().startsWith(u"STEP"_s), qPrintable(step->text()));
    }

    // The welcome opens by itself on a first run, and not once it was finished or is kept closed.
    void theWelcomeOpensAtLaunchOnAFirstRunOnly_data() {
        QTest::addColumn<bool>("completed");
        QTest::addColumn<bool>("suppressed");
        QTest::addColumn<bool>("opens");
        QTest::newRow("first run") << false << false << true;
        QTest::newRow("finished before") << true << false << false;
        QTest::newRow("kept closed") << false << true << false;
    }
    void theWelcomeOpensAtLaunchOnAFirstRunOnly() {
        QFETCH(bool, completed);
        QFETCH(bool, suppressed);
        QFETCH(bool, opens);
        if (suppressed)
            qputenv(WelcomeLaunch::suppressVariable.toLatin1().constData(), "1");
        Face f;
        if (completed)
            f.welcome.defaults->values.insert(WelcomeLaunch::completedKey.toString(), true);
        f.make();
        f.face->applicationDidFinishLaunching();
        settle();
        const AppWindow* welcome = f.face->windows().window(u"welcome"_s);
        QCOMPARE(welcome && welcome->isVisible(), opens);
    }

    // Opened and closed again and again, the panel and the windows leave nothing behind: once each has
    // been made, the widgets and the open descriptors stay as many however often they are shown.
    void showingAgainAndAgainLeavesNothingBehind() {
        Face f;
        f.make();
        const QStringList windows{u"welcome"_s, u"approval"_s, u"glasses"_s,
                                  u"update"_s,  u"log"_s,      u"still-running"_s};
        const auto round = [&] {
            for (int time = 0; time < 10; ++time) {
                f.face->tray().showPanel();
                settle();
                f.face->tray().panel().hide();
                for (const QString& identifier : windows) {
                    f.face->windows().open(identifier);
                    f.face->windows().window(identifier)->close();
                }
                settle();
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        const auto descriptors = [] {
            return QDir(u"/proc/self/fd"_s)
                .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)
                .size();
        };
        round(); // everything made once
        const qsizetype widgets = QApplication::allWidgets().size();
        const qsizetype files = descriptors();
        for (int rounds = 0; rounds < 5; ++rounds)
            round();
        QCOMPARE(QApplication::allWidgets().size(), widgets);
        QCOMPARE(descriptors(), files);
    }

    // An alert the person has not seen yet comes forward; one they already saw shows quietly, without
    // taking the keyboard; when the updater has nothing to show, the window goes.
    void theUpdateAlertComesForwardOrShowsQuietly() {
        Face f;
        f.make();
        f.updater->show(UpdateAlert{UpdateAlert::Offered{offered, u"0.4.1"_s}});
        settle();
        AppWindow* alert = f.face->windows().window(u"update"_s);
        QVERIFY(alert && alert->isVisible());
        QVERIFY(!alert->testAttribute(Qt::WA_ShowWithoutActivating));
        alert->close();

        f.updates->setReminder({.installWaits = false, .alertShown = true});
        f.updater->show(UpdateAlert{UpdateAlert::Ready{offered}});
        settle();
        QVERIFY(alert->isVisible());
        QVERIFY(alert->testAttribute(Qt::WA_ShowWithoutActivating));

        f.updater->show(std::nullopt);
        settle();
        QVERIFY(!alert->isVisible());
    }
};

QTEST_MAIN(TestTrayFace)
#include "tst_TrayFace.moc"
