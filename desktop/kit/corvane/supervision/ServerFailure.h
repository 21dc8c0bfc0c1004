#pragma once

#include <QString>

#include <concepts>
#include <variant>

class QDebug;

namespace corvane {

// Why the server is not running, in words for the person.
class ServerFailure {
public:
    struct PortBusy {
        int port = 0;
        bool operator==(const PortBusy&) const = default;
    };
    struct Exited {
        qint32 code = 0;
        bool operator==(const Exited&) const = default;
    };
    struct LaunchFailed {
        QString message; // the launcher's description of what went wrong
        bool operator==(const LaunchFailed&) const = default;
    };
    struct DidNotRelease {
        int port = 0;
        bool operator==(const DidNotRelease&) const = default;
    };
    using Case = std::variant<PortBusy, Exited, LaunchFailed, DidNotRelease>;

    template <typename Kind>
    requires std::constructible_from<Case, Kind> ServerFailure(Kind kind)
        : m_case(std::move(kind)) {}

    const Case& value() const { return m_case; }
    QString message() const;

    bool operator==(const ServerFailure&) const = default;

private:
    Case m_case;
};

QDebug operator<<(QDebug debug, const ServerFailure& failure);

} // namespace corvane
