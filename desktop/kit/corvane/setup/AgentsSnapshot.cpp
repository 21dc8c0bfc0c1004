#include "AgentsSnapshot.h"

#include <corvane/setup/JsonFields.h>

namespace corvane {

std::optional<AgentStatus> AgentStatus::decode(const QJsonObject& object) {
    return JsonFields::decode(object, [](JsonFields& f) {
        return AgentStatus{
            .authenticated = f.boolean(u"authenticated"),
            .method = f.optionalText(u"method"),
            .email = f.optionalText(u"email"),
            .plan = f.optionalText(u"plan"),
        };
    });
}

std::optional<AgentsSnapshot> AgentsSnapshot::decode(const QJsonObject& object) {
    return JsonFields::decode(object, [](JsonFields& f) {
        return AgentsSnapshot{
            .claude = f.record(u"claude", &AgentStatus::decode),
            .codex = f.record(u"codex", &AgentStatus::decode),
        };
    });
}

} // namespace corvane
