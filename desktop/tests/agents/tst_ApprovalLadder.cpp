// The agent-permission ladders: each mode's words and warning, and the flow that reads the modes and
// changes one at a time (choices dropped while saving, the server's answer shown, the rollback).

#include "support/ApprovalFixture.h"
#include "support/TestSupport.h"

#include <corvane/agents/ApprovalModeWords.h>

#include <QTest>
#include <qcorotask.h>

class TestApprovalLadder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void modesHaveTheirWords() {
        QCOMPARE(ClaudeApprovalModes::label(ClaudeApprovalMode::justRun), u"Just do it");
        QCOMPARE(CodexApprovalModes::label(CodexApprovalMode::dangerFull), u"Danger — no sandbox");
        QCOMPARE(ClaudeApprovalModes::customerDefault, ClaudeApprovalMode::ask);
        QCOMPARE(CodexApprovalModes::customerDefault, CodexApprovalMode::ask);
        for (const CodexApprovalMode mode : CodexApprovalModes::allCases)
            QCOMPARE(CodexApprovalModes::wearsWarning(mode), mode == CodexApprovalMode::dangerFull);
        for (const ClaudeApprovalMode mode : ClaudeApprovalModes::allCases)
            QVERIFY(ClaudeApprovalModes::explanation(mode).startsWith(u"Claude"));
    }

    void aReadShowsTheModesOrSaysTheServerIsNotRunning() {
        FakeServer server;
        ApprovalLadderFlow flow(server.operations());
        QList<Stage> seen;
        flow.onStageChange = [&](const Stage& stage) { seen.append(stage); };
        QCOMPARE(flow.stage(), Stage{});
        server.loaded = ApprovalSnapshot{ClaudeApprovalMode::justRun, CodexApprovalMode::dangerFull};
        QCoro::waitFor(flow.refresh());
        QCOMPARE(flow.stage(), (Stage{Stage::Ready{*server.loaded, std::nullopt}}));
        server.loaded = refused;
        QCoro::waitFor(flow.refresh());
        QCOMPARE(flow.stage(), (Stage{Stage::Unavailable{ApprovalLadderFlow::unavailableWords.toString()}}));
        QCOMPARE(seen.size(), 2); // never back to loading in between
    }

    // A change saves from ready, shows what the server answered, drops a choice made meanwhile, and on
    // failure goes back to the modes known before with the problem said.
    void aChangeSavesOnceAndTheServerHasTheLastWord() {
        FakeServer server;
        ApprovalLadderFlow flow(server.operations());
        QCoro::waitFor(flow.choose(ClaudeApprovalMode::justRun)); // loading: nothing asked
        QCOMPARE(server.requests, QStringList());
        QCoro::waitFor(flow.refresh());
        const ApprovalSnapshot before = *server.loaded;

        server.changeGate = OneShot<bool>();
        flow.choose(CodexApprovalMode::justRun);
        QCOMPARE(flow.stage(), (Stage{Stage::Saving{before}}));
        flow.choose(CodexApprovalMode::dangerFull); // while saving: dropped
        QCOMPARE(server.requests, (QStringList{u"load"_s, u"codex just_run"_s}));
        // The server's answer, not the choice, is what shows: it took the change to Codex alone.
        const ApprovalSnapshot taken{ClaudeApprovalMode::ask, CodexApprovalMode::justRun};
        server.changed = taken;
        server.changeGate->set(true);
        QTRY_COMPARE(flow.stage(), (Stage{Stage::Ready{taken, std::nullopt}}));

        // A refused change goes back to the modes shown just before it, not to the first read.
        QVERIFY(taken != before);
        server.changeGate.reset();
        server.changed = refused;
        QCoro::waitFor(flow.choose(ClaudeApprovalMode::readOnly));
        QCOMPARE(flow.stage(),
                 (Stage{Stage::Ready{taken, ApprovalLadderFlow::failedChangeWords.toString()}}));
    }

    // A refresh that completes while a change saves shows what it read; the change then has the last
    // word.
    void aRefreshDuringAChange() {
        FakeServer server;
        ApprovalLadderFlow flow(server.operations());
        QCoro::waitFor(flow.refresh());
        server.changeGate = OneShot<bool>();
        server.loadGate = OneShot<bool>();
        flow.choose(ClaudeApprovalMode::justRun);
        flow.refresh();
        server.loaded = ApprovalSnapshot{ClaudeApprovalMode::readOnly, CodexApprovalMode::ask};
        server.loadGate->set(true);
        QTRY_COMPARE(flow.stage(), (Stage{Stage::Ready{*server.loaded, std::nullopt}})); // what it read
        server.changeGate->set(true);
        QTRY_COMPARE(
            flow.stage(),
            (Stage{Stage::Ready{ApprovalSnapshot{ClaudeApprovalMode::justRun, CodexApprovalMode::ask},
                                std::nullopt}}));
    }
};

QTEST_GUILESS_MAIN(TestApprovalLadder)
#include "tst_ApprovalLadder.moc"
