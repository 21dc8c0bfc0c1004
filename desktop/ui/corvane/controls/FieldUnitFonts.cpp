#include "FieldUnitFonts.h"

#include <QDir>
#include <QFontDatabase>

namespace corvane::FieldUnitFonts {

int registerFonts(const QString& folder) {
    int registered = 0;
    const QDir fonts(folder);
    // Filtered by hand: a name filter is a wildcard, which Qt turns into a regular expression, and this
    // would be the only one a running Kestrin compiles.
    for (const QString& name : fonts.entryList(QDir::Files, QDir::Name))
        if (name.endsWith(u".ttf") && QFontDatabase::addApplicationFont(fonts.filePath(name)) >= 0)
            ++registered;
    return registered;
}

} // namespace corvane::FieldUnitFonts
