// Start-at-login and keep-awake against scripted platform services.

#include "support/FakeServices.h"

#include <corvane/shell/LoginItemController.h>

#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(LoginItemStatus)

class TestLoginItemAndKeepAwake : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wordsEveryStatus_data() {
        QTest::addColumn<LoginItemStatus>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("on");
        QTest::addColumn<bool>("needsApproval");
        QTest::newRow("notRegistered")
            << LoginItemStatus::notRegistered << u"Kestrin does not start on its own."_s << false << false;
        QTest::newRow("enabled") << LoginItemStatus::enabled << u"Kestrin starts when you log in."_s << true
                                 << false;
        QTest::newRow("requiresApproval")
            << LoginItemStatus::requiresApproval
            << u"Waiting for your approval — turn Kestrin on in your desktop’s Startup Applications."_s
            << false << true;
        QTest::newRow("notFound")
            << LoginItemStatus::notFound
            << u"Your desktop could not find Kestrin to start it. Move Kestrin back to where it was and try again."_s
            << false << false;
    }

    void wordsEveryStatus() {
        QFETCH(LoginItemStatus, status);
        QFETCH(QString, message);
        QFETCH(bool, on);
        QFETCH(bool, needsApproval);
        const auto service = std::make_shared<ScriptedLoginItems>();
        service->current = status;
        LoginItemController controller(service);
        controller.refresh();
        QCOMPARE(controller.status(), status);
        QCOMPARE(controller.message(), message);
        QCOMPARE(controller.isOn(), on);
        QCOMPARE(controller.needsApproval(), needsApproval);
    }

    void reportsOnlyChangedStatuses() {
        const auto service = std::make_shared<ScriptedLoginItems>();
        LoginItemController controller(service);
        QList<LoginItemStatus> reported;
        controller.onChange = [&](LoginItemStatus status) { reported.append(status); };
        controller.refresh(); // still notRegistered
        service->current = LoginItemStatus::enabled;
        controller.refresh();
        controller.refresh();
        QCOMPARE(reported, QList<LoginItemStatus>{LoginItemStatus::enabled});
    }

    void asksForWhatIsAlreadySoDoNothing_data() {
        QTest::addColumn<LoginItemStatus>("status");
        QTest::addColumn<bool>("on");
        QTest::newRow("on while enabled") << LoginItemStatus::enabled << true;
        QTest::newRow("on while waiting for approval") << LoginItemStatus::requiresApproval << true;
        QTest::newRow("off while not registered") << LoginItemStatus::notRegistered << false;
        QTest::newRow("off while not found") << LoginItemStatus::notFound << false;
    }

    void asksForWhatIsAlreadySoDoNothing() {
        QFETCH(LoginItemStatus, status);
        QFETCH(bool, on);
        const auto service = std::make_shared<ScriptedLoginItems>();
        service->current = status;
        LoginItemController controller(service);
        controller.refresh();
        controller.setEnabled(on);
        QCOMPARE(service->registrations + service->unregistrations, 0);
        QCOMPARE(controller.status(), status);
    }

    void keepsTheFailureUntilAStepSucceeds() {
        const auto service = std::make_shared<ScriptedLoginItems>();
        LoginItemController controller(service);
        service->failure = u"The operation couldn’t be completed."_s;
        controller.setEnabled(true);
        QCOMPARE(
            controller.problem(),
            u"Your desktop would not let Kestrin start at login: The operation couldn’t be completed."_s);
        QCOMPARE(controller.status(), LoginItemStatus::notRegistered);

        // Registered behind our back; turning off then fails, then succeeds.
        service->current = LoginItemStatus::enabled;
        controller.refresh();
        controller.setEnabled(false);
        QCOMPARE(
            controller.problem(),
            u"Your desktop would not stop Kestrin starting at login: The operation couldn’t be completed."_s);
        QCOMPARE(controller.status(), LoginItemStatus::enabled);
        service->failure.reset();
        controller.setEnabled(false);
        QCOMPARE(controller.problem(), std::nullopt);
        QCOMPARE(controller.status(), LoginItemStatus::notRegistered);
    }

    void aRegistrationAwaitingApprovalIsNoProblem() {
        const auto service = std::make_shared<ScriptedLoginItems>();
        service->afterRegister = LoginItemStatus::requiresApproval;
        LoginItemController controller(service);
        LoginItemStatus reported = LoginItemStatus::notRegistered;
        controller.onChange = [&](LoginItemStatus status) { reported = status; };
        controller.setEnabled(true);
        QCOMPARE(reported, LoginItemStatus::requiresApproval);
        QVERIFY(controller.needsApproval());
        QCOMPARE(controller.problem(), std::nullopt);
        controller.openSettings();
        QCOMPARE(service->settingsOpened, 1);
    }

    void holdsSleepOnlyWhileTheRunningServerAsks() {
        struct Step {
            bool running;
            std::optional<bool> says;
            bool holding;
        };
        const QList<Step> steps{
            {false, true, false},        // not running: a wish alone holds nothing
            {true, std::nullopt, false}, // running, no opinion
            {true, false, false},        {true, true, true},
            {true, true, true},                                // the same again begins nothing more
            {true, std::nullopt, false},                       // no opinion releases
            {true, true, true},          {false, true, false}, // stopped releases even with a wish
        };
        const auto assertions = std::make_shared<CountingAssertions>();
        KeepAwake keepAwake(assertions);
        for (const Step& step : steps) {
            keepAwake.update(step.running, step.says);
            QCOMPARE(keepAwake.isHolding(), step.holding);
        }
        QCOMPARE(assertions->begun, 2);
        QCOMPARE(assertions->ended, 2);
        QCOMPARE(assertions->lastReason, u"Kestrin is in use"_s);
    }
};

QTEST_GUILESS_MAIN(TestLoginItemAndKeepAwake)
#include "tst_LoginItemAndKeepAwake.moc"
