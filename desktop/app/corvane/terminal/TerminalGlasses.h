#pragma once

#include <corvane/GlassesViewModel.h>
#include <corvane/terminal/TerminalOutcome.h>

#include <QByteArray>
#include <QStringList>

namespace corvane::TerminalGlasses {

inline constexpr QStringView commandsHelp =
    u"Glasses: glasses (show the setup), glasses setup (begin, or try again), glasses done, glasses remove "
    u"(delete the helper Kestrin downloaded).";

// The setup as lines: its readout word and headline, its detail, and a failed removal's words.
QStringList lines(const GlassesViewModel& glasses);

// Carries out a glasses command. When the setup asks to fetch adb, the question is put on the next line.
TerminalOutcome run(GlassesViewModel& glasses, const QByteArray& command);

// The fetch question, when the setup is asking it.
std::optional<TerminalOutcome::Question> fetchQuestion(GlassesViewModel& glasses);

} // namespace corvane::TerminalGlasses
