#include "ServerFailure.h"

#include <corvane/support/Overloaded.h>

#include <QDebug>

namespace corvane {

QString ServerFailure::message() const {
    return std::visit(Overloaded{
                          [](const PortBusy& e) {
                              return QStringLiteral(
                                         "Port %1 is already in use. Kestrin did not start a second server.")
                                  .arg(e.port);
                          },
                          [](const Exited& e) {
                              return QStringLiteral("The server stopped on its own (code %1).").arg(e.code);
                          },
                          [](const LaunchFailed& e) {
                              return QStringLiteral("The server could not be started: %1").arg(e.message);
                          },
                          [](const DidNotRelease& e) {
                              return QStringLiteral("Kestrin stopped the server, but port %1 is still busy. "
                                                    "Wait a moment and try again.")
                                  .arg(e.port);
                          },
                      },
                      m_case);
}

QDebug operator<<(QDebug debug, const ServerFailure& failure) {
    const QDebugStateSaver saver(debug);
    debug.nospace();
    std::visit(
        Overloaded{
            [&](const ServerFailure::PortBusy& e) { debug << "portBusy(" << e.port << ')'; },
            [&](const ServerFailure::Exited& e) { debug << "exited(" << e.code << ')'; },
            [&](const ServerFailure::LaunchFailed& e) { debug << "launchFailed(" << e.message << ')'; },
            [&](const ServerFailure::DidNotRelease& e) { debug << "didNotRelease(" << e.port << ')'; },
        },
        failure.value());
    return debug;
}

} // namespace corvane
