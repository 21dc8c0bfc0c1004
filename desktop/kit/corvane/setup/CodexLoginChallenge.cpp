#include "CodexLoginChallenge.h"

#include <corvane/setup/JsonFields.h>

namespace corvane {

std::optional<CodexLoginChallenge> CodexLoginChallenge::decode(const QJsonObject& object) {
    return JsonFields::decode(object, [](JsonFields& f) {
        return CodexLoginChallenge{
            .loginId = f.text(u"loginId"),
            .verificationUrl = f.text(u"verificationUrl"),
            .userCode = f.text(u"userCode"),
        };
    });
}

} // namespace corvane
