#include "TerminalText.h"

namespace corvane::TerminalText {

namespace {

bool reordersText(char16_t unit) {
    return (unit >= 0x202a && unit <= 0x202e) || (unit >= 0x2066 && unit <= 0x2069);
}

} // namespace

QString visible(QStringView text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar character : text) {
        const char16_t unit = character.unicode();
        if (unit == u'\n' || !(unit < 0x20 || (unit >= 0x7f && unit <= 0x9f) || reordersText(unit))) {
            shown.append(character);
            continue;
        }
        shown.append(unit < 0x100
                         ? QStringLiteral("\\x%1").arg(static_cast<uint>(unit), 2, 16, QLatin1Char('0'))
                         : QStringLiteral("\\u%1").arg(static_cast<uint>(unit), 4, 16, QLatin1Char('0')));
    }
    return shown;
}

} // namespace corvane::TerminalText
