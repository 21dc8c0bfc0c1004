#pragma once

#include <corvane/UpdatesModel.h>
#include <corvane/terminal/TerminalOutcome.h>

#include <QByteArray>
#include <QStringList>

namespace corvane::TerminalUpdates {

inline constexpr QStringView commandsHelp =
    u"Updates: update (check now, or show the update under way), then update install, skip, later, "
    u"cancel, quit or ok, as the update offers.";

// The update key as a line and, while the updater has something to show, its alert: headline, detail,
// release notes and the answers it takes.
QStringList lines(const UpdatesModel& updates);

// `update` presses the update key; `update <answer>` answers the alert shown.
TerminalOutcome run(UpdatesModel& updates, const QByteArray& command);

} // namespace corvane::TerminalUpdates
