#include "FieldUnitFonts.h"

#include <QDir>
#include <QFontDatabase>

namespace corvane::FieldUnitFonts {

int registerFonts(const QString& folder) {
    int registered = 0;
    const QDir fonts(folder);
    for (const QString& name : fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files, QDir::Name))
        if (QFontDatabase::addApplicationFont(fonts.filePath(name)) >= 0)
            ++registered;
    return registered;
}

} // namespace corvane::FieldUnitFonts
