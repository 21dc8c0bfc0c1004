#pragma once

#include <corvane/setup/ApprovalSnapshot.h>

#include <QStringView>

namespace corvane {

// What each agent's modes are called on the ladders, and what each lets the agent do.
namespace ClaudeApprovalModes {
inline constexpr ClaudeApprovalMode customerDefault = ClaudeApprovalMode::ask;
QStringView label(ClaudeApprovalMode mode);
QStringView explanation(ClaudeApprovalMode mode);
} // namespace ClaudeApprovalModes

namespace CodexApprovalModes {
inline constexpr CodexApprovalMode customerDefault = CodexApprovalMode::ask;
QStringView label(CodexApprovalMode mode);
QStringView explanation(CodexApprovalMode mode);
// The mode that takes every guard away is marked as a warning on its ladder.
constexpr bool wearsWarning(CodexApprovalMode mode) {
    return mode == CodexApprovalMode::dangerFull;
}
} // namespace CodexApprovalModes

} // namespace corvane
