#include "SetupInfo.h"

#include <corvane/setup/JsonFields.h>

namespace corvane {

std::optional<SetupInfo> SetupInfo::decode(const QJsonObject& object) {
    return JsonFields::decode(object, [](JsonFields& f) {
        return SetupInfo{
            .port = f.integer<int>(u"port"),
            .hostname = f.optionalText(u"hostname"),
            .addresses = f.textList(u"addresses"),
            .lanEnabled = f.boolean(u"lanEnabled"),
            .projectsConfigured = f.optionalBoolean(u"projectsConfigured"),
            .voice = f.optionalRecord(u"voice", &VoiceStatus::decode),
            .keepAwake = f.optionalBoolean(u"keepAwake"),
        };
    });
}

} // namespace corvane
