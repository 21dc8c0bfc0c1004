#pragma once

#include <QJsonObject>
#include <QString>

#include <array>
#include <optional>

namespace corvane {

// How freely each coding agent may act before it asks on the phone.
enum class ClaudeApprovalMode { readOnly, ask, justRun };
enum class CodexApprovalMode { ask, justRun, dangerFull };

namespace ClaudeApprovalModes {
inline constexpr std::array allCases{ClaudeApprovalMode::readOnly, ClaudeApprovalMode::ask,
                                     ClaudeApprovalMode::justRun};
QString toRaw(ClaudeApprovalMode mode);
// Exactly one of the three raw values, case-sensitive.
std::optional<ClaudeApprovalMode> fromRaw(const QString& raw);
} // namespace ClaudeApprovalModes

namespace CodexApprovalModes {
inline constexpr std::array allCases{CodexApprovalMode::ask, CodexApprovalMode::justRun,
                                     CodexApprovalMode::dangerFull};
QString toRaw(CodexApprovalMode mode);
// Exactly one of the three raw values, case-sensitive.
std::optional<CodexApprovalMode> fromRaw(const QString& raw);
} // namespace CodexApprovalModes

// The modes in effect on the server.
struct ApprovalSnapshot {
    ClaudeApprovalMode claude = ClaudeApprovalMode::ask;
    CodexApprovalMode codex = CodexApprovalMode::ask;

    // Nothing when a key is missing or holds a text that is not one of its agent's modes.
    static std::optional<ApprovalSnapshot> decode(const QJsonObject& object);

    bool operator==(const ApprovalSnapshot&) const = default;
};

} // namespace corvane
