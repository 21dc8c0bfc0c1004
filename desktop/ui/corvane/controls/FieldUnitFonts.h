#pragma once

#include <QString>

namespace corvane::FieldUnitFonts {

// Makes the display faces in `folder` (every .ttf file) available to this process. A file that cannot
// be registered is skipped; a missing or empty folder registers nothing. Gives how many files took.
int registerFonts(const QString& folder);

} // namespace corvane::FieldUnitFonts
