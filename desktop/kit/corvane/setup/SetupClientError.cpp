#include "SetupClientError.h"

#include <corvane/support/Overloaded.h>

#include <QDebug>

namespace corvane {

QString SetupClientError::message() const {
    return std::visit(Overloaded{
                          [](const Refused& e) { return e.text; },
                          [](const Unreachable&) { return unreachableMessage.toString(); },
                          [](const Unreadable&) { return unreadableMessage.toString(); },
                      },
                      m_case);
}

QDebug operator<<(QDebug debug, const SetupClientError& error) {
    const QDebugStateSaver saver(debug);
    debug.nospace();
    std::visit(
        Overloaded{
            [&](const SetupClientError::Refused& e) { debug << "refused(" << e.text << ')'; },
            [&](const SetupClientError::Unreachable& e) { debug << "unreachable(" << e.detail << ')'; },
            [&](const SetupClientError::Unreadable&) { debug << "unreadable"; },
        },
        error.value());
    return debug;
}

} // namespace corvane
