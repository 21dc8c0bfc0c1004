#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

namespace corvane {

// Whether one coding agent is signed in, and how, as the server names it.
struct AgentStatus {
    bool authenticated = false;
    std::optional<QString> method;
    std::optional<QString> email;
    std::optional<QString> plan;

    static std::optional<AgentStatus> decode(const QJsonObject& object);

    bool operator==(const AgentStatus&) const = default;
};

struct AgentsSnapshot {
    AgentStatus claude;
    AgentStatus codex;

    bool anySignedIn() const { return claude.authenticated || codex.authenticated; }

    static std::optional<AgentsSnapshot> decode(const QJsonObject& object);

    bool operator==(const AgentsSnapshot&) const = default;
};

} // namespace corvane
