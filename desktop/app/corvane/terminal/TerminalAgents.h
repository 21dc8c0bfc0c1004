#pragma once

#include <corvane/ApprovalViewModel.h>
#include <corvane/terminal/TerminalOutcome.h>

#include <QByteArray>
#include <QStringList>

namespace corvane::TerminalAgents {

inline constexpr QStringView commandsHelp =
    u"Agents: agents (read what each agent may do), agent claude read_only, ask or just_run, "
    u"agent codex ask, just_run or danger_full.";

// What the agent-permission screen shows, as lines: the modes in effect with what each lets its agent
// do, or the read under way, the unreachable server, the change saving or the change refused.
QStringList lines(const ApprovalViewModel& approval);

// Carries out an agent command. `agents` reads the modes again; a change before they are known reads
// them first.
TerminalOutcome run(ApprovalViewModel& approval, const QByteArray& command);

} // namespace corvane::TerminalAgents
