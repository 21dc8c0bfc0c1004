#include "Environment.h"

#include <QProcessEnvironment>

namespace corvane {

Environment processEnvironment() {
    const QProcessEnvironment system = QProcessEnvironment::systemEnvironment();
    Environment environment;
    for (const QString& name : system.keys())
        environment.insert(name, system.value(name));
    return environment;
}

} // namespace corvane
