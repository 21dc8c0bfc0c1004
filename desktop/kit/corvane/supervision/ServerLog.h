#pragma once

#include <corvane/shell/Environment.h>

#include <QString>
#include <QStringView>

#include <expected>

namespace corvane::ServerLog {

inline constexpr QStringView directoryVariable = u"CORVANE_LOG_DIR";
inline constexpr QStringView fileName = u"server.log";
inline constexpr QStringView previousFileName = u"server.previous.log";
// Home-relative folder of the log when CORVANE_LOG_DIR is not set (the XDG place for logs).
inline constexpr QStringView defaultFolder = u"/.local/state/Corvane/";
inline constexpr qint64 rotateAtBytes = 5'000'000; // five million bytes, not 5 MiB

QString file(const Environment& environment, const QString& home);

// Creates the log's folder and, once the log has reached `rotateAt` bytes, moves it aside as the one
// previous generation. Fails with the file system's words.
std::expected<void, QString> prepare(const QString& logFile, qint64 rotateAt = rotateAtBytes);

} // namespace corvane::ServerLog
