#include "Silkscreen.h"

namespace corvane::Silkscreen {

namespace {

// A letter or digit of any script, or an underscore: next to one, the name is part of a longer word.
bool joinsWord(char32_t character) {
    return QChar::isLetterOrNumber(character) || character == U'_';
}

char32_t codePointBefore(const QString& text, qsizetype at) {
    if (at >= 2 && text[at - 1].isLowSurrogate() && text[at - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(text[at - 2], text[at - 1]);
    return text[at - 1].unicode();
}

char32_t codePointAt(const QString& text, qsizetype at) {
    if (at + 1 < text.size() && text[at].isHighSurrogate() && text[at + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(text[at], text[at + 1]);
    return text[at].unicode();
}

} // namespace

QString printed(const QString& text) {
    // Lower-cased by Unicode's rules, never the locale's. A hand scan rather than a regular expression:
    // every caption passes through here, and the tray should not carry a regex engine for it.
    QString lowered = text.toLower();
    const QString name = productName.toString().toLower();
    for (qsizetype at = lowered.indexOf(name); at >= 0; at = lowered.indexOf(name, at + name.size())) {
        const qsizetype end = at + name.size();
        if ((at == 0 || !joinsWord(codePointBefore(lowered, at))) &&
            (end == lowered.size() || !joinsWord(codePointAt(lowered, end))))
            lowered.replace(at, name.size(), productName.data(), productName.size());
    }
    return lowered;
}

} // namespace corvane::Silkscreen
