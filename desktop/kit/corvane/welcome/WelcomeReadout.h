#pragma once

#include <corvane/look/ReadoutLamp.h>
#include <corvane/setup/AgentsSnapshot.h>
#include <corvane/setup/VoiceStatus.h>
#include <corvane/welcome/DeveloperTools.h>
#include <corvane/welcome/WelcomeFlow.h>

#include <QList>
#include <QString>

#include <optional>

namespace corvane::WelcomeReadout {

// A folder's or phone's value longer than this many user-perceived characters is shortened to its
// first ten and "…".
inline constexpr int maxValueLength = 11;

// The six rows beside every step: DEV TOOLS, VOICE, FOLDER, AI, PHONE, GLASSES.
QList<ReadoutRow> rows(WelcomeStep step, DeveloperToolsStage tools, const std::optional<VoiceStatus>& voice,
                       const std::optional<QString>& folderPath, bool folderChosen,
                       const std::optional<AgentsSnapshot>& agents, const std::optional<QString>& phoneName,
                       bool glassesPaired);

// `text` upper-cased without regard to the locale, and shortened when it is too long.
QString shortened(const QString& text);

} // namespace corvane::WelcomeReadout
