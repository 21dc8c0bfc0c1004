#pragma once

#include <QString>
#include <QStringList>
#include <qcorotask.h>

#include <chrono>
#include <expected>

namespace corvane {

// Runs Debian's unzip with the arguments, quietly and without input; answers why it failed, if it
// did. One that runs past `timeLimit` is ended.
QCoro::Task<std::expected<void, QString>> runUnzip(QString program, QStringList arguments,
                                                   std::chrono::milliseconds timeLimit);

} // namespace corvane
