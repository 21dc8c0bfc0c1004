#pragma once

#include <QString>

#include <functional>

namespace corvane {

// A way to write notes to the system log (syslog) under `identifier`, each line beginning with its
// `category`, at the notice level.
std::function<void(const QString&)> systemLogNote(const QString& identifier, const QString& category);

} // namespace corvane
