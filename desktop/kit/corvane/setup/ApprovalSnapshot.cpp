#include "ApprovalSnapshot.h"

#include <corvane/setup/JsonFields.h>
#include <corvane/support/RawValue.h>

namespace corvane {

QString ClaudeApprovalModes::toRaw(ClaudeApprovalMode mode) {
    switch (mode) {
    case ClaudeApprovalMode::readOnly:
        return QStringLiteral("read_only");
    case ClaudeApprovalMode::ask:
        break;
    case ClaudeApprovalMode::justRun:
        return QStringLiteral("just_run");
    }
    return QStringLiteral("ask");
}

std::optional<ClaudeApprovalMode> ClaudeApprovalModes::fromRaw(const QString& raw) {
    return caseForRaw(allCases, &toRaw, raw);
}

QString CodexApprovalModes::toRaw(CodexApprovalMode mode) {
    switch (mode) {
    case CodexApprovalMode::ask:
        break;
    case CodexApprovalMode::justRun:
        return QStringLiteral("just_run");
    case CodexApprovalMode::dangerFull:
        return QStringLiteral("danger_full");
    }
    return QStringLiteral("ask");
}

std::optional<CodexApprovalMode> CodexApprovalModes::fromRaw(const QString& raw) {
    return caseForRaw(allCases, &toRaw, raw);
}

std::optional<ApprovalSnapshot> ApprovalSnapshot::decode(const QJsonObject& object) {
    JsonFields fields(object);
    const auto claude = ClaudeApprovalModes::fromRaw(fields.text(u"claude"));
    const auto codex = CodexApprovalModes::fromRaw(fields.text(u"codex"));
    if (!fields.ok() || !claude || !codex)
        return std::nullopt;
    return ApprovalSnapshot{.claude = *claude, .codex = *codex};
}

} // namespace corvane
