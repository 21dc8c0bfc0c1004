#pragma once

#include <QMap>
#include <QString>

namespace corvane {

// A process environment: variable name to value, ordered so that anything built from it is deterministic.
using Environment = QMap<QString, QString>;

// The environment of this process as it is now.
Environment processEnvironment();

} // namespace corvane
