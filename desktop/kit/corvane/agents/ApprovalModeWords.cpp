#include "ApprovalModeWords.h"

namespace corvane {

namespace ClaudeApprovalModes {

QStringView label(ClaudeApprovalMode mode) {
    switch (mode) {
    case ClaudeApprovalMode::readOnly:
        return u"Read only";
    case ClaudeApprovalMode::ask:
        return u"Ask first";
    case ClaudeApprovalMode::justRun:
        return u"Just do it";
    }
    return {};
}

QStringView explanation(ClaudeApprovalMode mode) {
    switch (mode) {
    case ClaudeApprovalMode::readOnly:
        return u"Claude can read your code and talk about it, but can't change a file or run a command.";
    case ClaudeApprovalMode::ask:
        return u"Claude can change files and run commands, but a prompt appears on your phone first. Reading "
               u"never asks.";
    case ClaudeApprovalMode::justRun:
        return u"Claude changes files and runs commands without asking. Destructive commands are still "
               u"blocked "
               u"and commands still run in a sandbox.";
    }
    return {};
}

} // namespace ClaudeApprovalModes

namespace CodexApprovalModes {

QStringView label(CodexApprovalMode mode) {
    switch (mode) {
    case CodexApprovalMode::ask:
        return u"Ask first";
    case CodexApprovalMode::justRun:
        return u"Just do it";
    case CodexApprovalMode::dangerFull:
        return u"Danger — no sandbox";
    }
    return {};
}

QStringView explanation(CodexApprovalMode mode) {
    switch (mode) {
    case CodexApprovalMode::ask:
        return u"Looks at files freely; asks on your phone before changing anything.";
    case CodexApprovalMode::justRun:
        return u"Runs without asking, inside a sandbox that keeps it to your project folder.";
    case CodexApprovalMode::dangerFull:
        return u"No approvals, no sandbox, no blocklist. Codex can do anything your account can. Only if you "
               u"know exactly what that means.";
    }
    return {};
}

} // namespace CodexApprovalModes

} // namespace corvane
