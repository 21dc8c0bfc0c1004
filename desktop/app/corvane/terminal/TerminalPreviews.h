#pragma once

#include <corvane/PreviewsSwitchViewModel.h>
#include <corvane/terminal/TerminalOutcome.h>

#include <QByteArray>
#include <QStringList>

namespace corvane::TerminalPreviews {

inline constexpr QStringView commandsHelp =
    u"Live previews: previews (read the switch), previews on (asks first), previews off, previews about.";
inline constexpr QStringView consentPrompt = u"Type yes and Enter to turn on; anything else is Not now: ";

// The switch as lines: on or off (or not read yet), what it does, and its status line when it has one.
QStringList lines(const PreviewsSwitchViewModel& previews);

// Everything the feature can and can't do, under `title`, as the consent sheet shows it.
QString explanation(QStringView title);

// Carries out a previews command: `previews` reads the switch again, `previews on` asks first,
// `previews off` turns it off at once, `previews about` prints what it can and can't do, `previews on`
// prints the same and asks; only a yes turns it on. A change
// before the setting is known reads it first.
TerminalOutcome run(PreviewsSwitchViewModel& previews, const QByteArray& command);

} // namespace corvane::TerminalPreviews
