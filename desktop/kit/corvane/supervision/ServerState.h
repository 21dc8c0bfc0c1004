#pragma once

#include <corvane/supervision/ServerFailure.h>

#include <QtGlobal>

#include <concepts>
#include <optional>
#include <variant>

class QDebug;

namespace corvane {

// The supervisor's view of the one server process.
class ServerState {
public:
    struct Running {
        qint32 pid = 0;
        bool operator==(const Running&) const = default;
    };
    struct Failed {
        ServerFailure failure;
        bool operator==(const Failed&) const = default;
    };
    struct Stopped {
        bool operator==(const Stopped&) const = default;
    };
    struct Starting {
        bool operator==(const Starting&) const = default;
    };
    using Case = std::variant<Running, Failed, Stopped, Starting>;

    ServerState()
        : m_case(Stopped{}) {}
    template <typename Kind>
    requires std::constructible_from<Case, Kind> ServerState(Kind kind)
        : m_case(std::move(kind)) {}

    static ServerState running(qint32 pid) { return Running{pid}; }
    static ServerState failed(ServerFailure failure) { return Failed{std::move(failure)}; }
    static ServerState stopped() { return Stopped{}; }
    static ServerState starting() { return Starting{}; }

    const Case& value() const { return m_case; }
    bool isRunning() const { return std::holds_alternative<Running>(m_case); }
    std::optional<ServerFailure> failure() const;

    bool operator==(const ServerState&) const = default;

private:
    Case m_case;
};

QDebug operator<<(QDebug debug, const ServerState& state);

} // namespace corvane
