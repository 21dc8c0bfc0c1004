#pragma once

#include <corvane/updates/UpdateReminder.h>

#include <QString>
#include <QStringView>

#include <optional>

namespace corvane {

// The menu's update key: what it says, whether it is lit to remind, and whether it can be pressed.
struct UpdateKey {
    static constexpr QStringView checkTitle = u"Check for updates…";
    static constexpr QStringView readyTitle = u"Update ready — restart to install";
    static constexpr QStringView packagedTitle = u"Updated by your package manager";
    // The small print of a copy that does not update itself because others can change its folder.
    static constexpr QStringView sharedFolderNote = u"its folder is shared";

    QString title;
    std::optional<QString> smallPrint;
    bool lit = false;
    bool enabled = false;

    static UpdateKey from(const UpdateReminder& reminder, bool canCheck, const QString& version);
    // The key of a copy the system's package manager keeps up to date: it says so, and cannot be pressed.
    static UpdateKey packagedCopy(const QString& version);
    bool operator==(const UpdateKey&) const = default;
};

} // namespace corvane
