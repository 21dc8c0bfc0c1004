#include "TerminalAgents.h"

#include <corvane/agents/ApprovalModeWords.h>
#include <corvane/support/Overloaded.h>

namespace corvane::TerminalAgents {

using namespace Qt::Literals::StringLiterals;

namespace {

void appendModes(const ApprovalSnapshot& snapshot, QStringList& lines) {
    lines.append(u"  Claude: %1. %2"_s.arg(ClaudeApprovalModes::label(snapshot.claude),
                                           ClaudeApprovalModes::explanation(snapshot.claude)));
    lines.append(u"  Codex:  %1. %2"_s.arg(CodexApprovalModes::label(snapshot.codex),
                                           CodexApprovalModes::explanation(snapshot.codex)));
}

// A change is made only to modes that are known and not already changing.
template <typename Mode>
TerminalOutcome change(ApprovalViewModel& approval, Mode mode) {
    const auto& stage = approval.stage().value;
    if (std::holds_alternative<ApprovalScreenStage::Saving>(stage))
        return {.known = true, .problem = TerminalOutcome::stillSaving.toString()};
    if (!std::holds_alternative<ApprovalScreenStage::Ready>(stage)) {
        approval.refresh();
        return {.known = true, .next = TerminalOutcome::Next::readFirst};
    }
    approval.choose(mode);
    return {.known = true};
}

TerminalOutcome refused(const QString& problem) {
    return {.known = true, .problem = problem};
}

} // namespace

QStringList lines(const ApprovalViewModel& approval) {
    QStringList lines{
        u"Agents · How much each agent may do on its own. You can always make an agent more careful from "
        u"your phone; making it less careful happens here."_s};
    std::visit(
        Overloaded{
            [&](const ApprovalScreenStage::Loading&) { lines.append(u"Reading the current settings…"_s); },
            [&](const ApprovalScreenStage::Unavailable& unavailable) { lines.append(unavailable.message); },
            [&](const ApprovalScreenStage::Ready& ready) {
                appendModes(ready.snapshot, lines);
                if (ready.problem)
                    lines.append(*ready.problem);
            },
            [&](const ApprovalScreenStage::Saving& saving) {
                appendModes(saving.snapshot, lines);
                lines.append(u"Saving…"_s);
            },
        },
        approval.stage().value);
    return lines;
}

TerminalOutcome run(ApprovalViewModel& approval, const QByteArray& command) {
    const QList<QByteArray> words = command.simplified().split(' ');
    if (words == QList<QByteArray>{"agents"}) {
        approval.refresh();
        return {.known = true};
    }
    if (words.size() != 3 || words.at(0) != "agent")
        return {};
    const QString raw = QString::fromUtf8(words.at(2));
    if (words.at(1) == "claude") {
        const auto mode = ClaudeApprovalModes::fromRaw(raw);
        if (!mode)
            return refused(u"Claude's modes are read_only, ask and just_run."_s);
        return change(approval, *mode);
    }
    if (words.at(1) == "codex") {
        const auto mode = CodexApprovalModes::fromRaw(raw);
        if (!mode)
            return refused(u"Codex's modes are ask, just_run and danger_full."_s);
        return change(approval, *mode);
    }
    return refused(u"The agents are claude and codex."_s);
}

} // namespace corvane::TerminalAgents
