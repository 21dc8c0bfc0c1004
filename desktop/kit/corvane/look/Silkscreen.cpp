#include "Silkscreen.h"

namespace corvane::Silkscreen {

using namespace Qt::Literals::StringLiterals;

const QRegularExpression& nameAsWord() {
    // Word boundaries in the Unicode sense, so that a letter of any script next to the name joins it
    // into a longer word.
    static const QRegularExpression pattern(u"\\b"_s + productName.toString().toLower() + u"\\b"_s,
                                            QRegularExpression::UseUnicodePropertiesOption);
    return pattern;
}

QString printed(const QString& text) {
    // Lower-cased by Unicode's rules, never the locale's.
    return text.toLower().replace(nameAsWord(), productName.toString());
}

} // namespace corvane::Silkscreen
