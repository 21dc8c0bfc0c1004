#pragma once

#include <QString>
#include <QStringView>

namespace corvane::Silkscreen {

// Captions are printed in lower case, like silkscreen on a case, all but the product's own name.
inline constexpr QStringView productName = u"Kestrin";

// `text` as it is printed: lower case, with the product name standing as a word keeping its capitals.
QString printed(const QString& text);

} // namespace corvane::Silkscreen
