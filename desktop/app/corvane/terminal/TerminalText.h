#pragma once

#include <QString>
#include <QStringView>

namespace corvane::TerminalText {

// `text` as a terminal shows it without obeying it. Control characters (C0 but the line break, DEL,
// C1) and the marks that reorder text (bidirectional embeddings, overrides and isolates) become
// visible escapes such as \x1b, so words from outside (a phone's name, a server's answer, release
// notes) can neither move the cursor, retitle the window, plant a link nor disguise what follows them.
QString visible(QStringView text);

} // namespace corvane::TerminalText
