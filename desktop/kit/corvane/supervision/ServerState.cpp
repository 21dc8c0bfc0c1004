#include "ServerState.h"

#include <corvane/support/Overloaded.h>

#include <QDebug>

namespace corvane {

std::optional<ServerFailure> ServerState::failure() const {
    if (const Failed* failed = std::get_if<Failed>(&m_case))
        return failed->failure;
    return std::nullopt;
}

QDebug operator<<(QDebug debug, const ServerState& state) {
    const QDebugStateSaver saver(debug);
    debug.nospace();
    std::visit(Overloaded{
                   [&](const ServerState::Running& s) { debug << "running(" << s.pid << ')'; },
                   [&](const ServerState::Failed& s) { debug << "failed(" << s.failure << ')'; },
                   [&](const ServerState::Stopped&) { debug << "stopped"; },
                   [&](const ServerState::Starting&) { debug << "starting"; },
               },
               state.value());
    return debug;
}

} // namespace corvane
