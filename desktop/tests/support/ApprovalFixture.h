#pragma once

// The agent-permission flow's server side for tests: answers from the test, each kind held until the
// test lets it go.

#include <corvane/agents/ApprovalLadderFlow.h>
#include <corvane/support/OneShot.h>

#include <QStringList>
#include <qcorotask.h>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

using Outcome = ApprovalLadderFlow::Outcome;
using Stage = ApprovalScreenStage;

// The server side of the flow: answers from the test, each kind held until the test lets it go, and
// worked out only then.
struct FakeServer {
    Outcome loaded = ApprovalSnapshot{ClaudeApprovalMode::ask, CodexApprovalMode::ask};
    // What a change answers; nothing: the mode asked for, as a server that takes it.
    std::optional<Outcome> changed;
    std::optional<OneShot<bool>> loadGate;
    std::optional<OneShot<bool>> changeGate;
    QStringList requests;

    static QCoro::Task<Outcome> answer(std::optional<OneShot<bool>> gate, std::function<Outcome()> outcome) {
        if (gate)
            co_await *gate;
        co_return outcome();
    }
    Outcome taking(const std::function<void(ApprovalSnapshot&)>& change) const {
        if (changed)
            return *changed;
        ApprovalSnapshot taken = loaded ? *loaded : ApprovalSnapshot{};
        change(taken);
        return taken;
    }
    ApprovalLadderFlow::Operations operations() {
        return {
            .load =
                [this] {
                    requests.append(u"load"_s);
                    return answer(loadGate, [this] { return loaded; });
                },
            .setClaude =
                [this](ClaudeApprovalMode mode) {
                    requests.append(u"claude "_s + ClaudeApprovalModes::toRaw(mode));
                    return answer(changeGate, [this, mode] {
                        return taking([mode](ApprovalSnapshot& s) { s.claude = mode; });
                    });
                },
            .setCodex =
                [this](CodexApprovalMode mode) {
                    requests.append(u"codex "_s + CodexApprovalModes::toRaw(mode));
                    return answer(changeGate, [this, mode] {
                        return taking([mode](ApprovalSnapshot& s) { s.codex = mode; });
                    });
                },
        };
    }
};

inline const Outcome refused = std::unexpected(SetupClientError(SetupClientError::Refused{u"No."_s}));
