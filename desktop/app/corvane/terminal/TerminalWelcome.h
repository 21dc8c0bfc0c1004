#pragma once

#include <corvane/WelcomeViewModel.h>

#include <QByteArray>
#include <QStringList>

#include <optional>

namespace corvane::TerminalWelcome {

inline constexpr QStringView commandsHelp =
    u"Setup: install (git), folder PATH, allow or decline (folder access), chatgpt (sign in), cancel, "
    u"claude or openai (then the API key, not shown), skip, back, finish.";
// The same where nothing can install git: no install command is offered.
inline constexpr QStringView commandsHelpWithoutInstall =
    u"Setup: folder PATH, allow or decline (folder access), chatgpt (sign in), cancel, "
    u"claude or openai (then the API key, not shown), skip, back, finish.";

// The welcome as lines of text, while it is not finished: the step and its title, the six readout
// rows, and what the step asks or says now.
QStringList lines(const WelcomeViewModel& welcome);

// Which key a command asks for next: the Anthropic (Claude) or the OpenAI (Codex) one.
enum class KeyKind { claude, openai };

// What a command did: nothing it knows, done, or it waits for a key on the next line.
struct Outcome {
    bool known = false;
    std::optional<KeyKind> awaitsKey;
};

// Carries out a welcome command; `home` stands for a leading "~" of a folder's path.
Outcome run(WelcomeViewModel& welcome, const QByteArray& command, const QString& home);

// Saves a key read after `claude` or `openai`, exactly as typed.
void saveKey(WelcomeViewModel& welcome, KeyKind kind, const QString& key);

} // namespace corvane::TerminalWelcome
