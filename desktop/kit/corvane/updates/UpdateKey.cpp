#include "UpdateKey.h"

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

std::optional<QString> versionNote(const QString& version) {
    return version.isEmpty() ? std::nullopt : std::optional(u"You have %1"_s.arg(version));
}

} // namespace

UpdateKey UpdateKey::from(const UpdateReminder& reminder, bool canCheck, const QString& version) {
    if (reminder.isLit())
        return {.title = readyTitle.toString(), .smallPrint = std::nullopt, .lit = true, .enabled = canCheck};
    return {.title = checkTitle.toString(),
            .smallPrint = versionNote(version),
            .lit = false,
            .enabled = canCheck};
}

UpdateKey UpdateKey::packagedCopy(const QString& version) {
    return {.title = packagedTitle.toString(),
            .smallPrint = versionNote(version),
            .lit = false,
            .enabled = false};
}

} // namespace corvane
