#include "UpdateKey.h"

namespace corvane {

using namespace Qt::Literals::StringLiterals;

UpdateKey UpdateKey::from(const UpdateReminder& reminder, bool canCheck, const QString& version) {
    if (reminder.isLit())
        return {.title = readyTitle.toString(), .smallPrint = std::nullopt, .lit = true, .enabled = canCheck};
    return {
        .title = checkTitle.toString(),
        .smallPrint = version.isEmpty() ? std::nullopt : std::optional(u"You have %1"_s.arg(version)),
        .lit = false,
        .enabled = canCheck,
    };
}

} // namespace corvane
