#pragma once

#include <QStringView>

#include <array>

namespace corvane::FieldUnitFont {

// The display typeface, by PostScript name: bold for cells and small display captions, black for large
// display headlines.
inline constexpr QStringView medium = u"Doto-Medium";
inline constexpr QStringView bold = u"Doto-Bold";
inline constexpr QStringView black = u"Doto-Black";
inline constexpr std::array<QStringView, 3> all{medium, bold, black};

// The resource folder of the application that holds the font files.
inline constexpr QStringView bundleFolder = u"Fonts";

} // namespace corvane::FieldUnitFont
