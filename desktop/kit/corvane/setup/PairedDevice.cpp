#include "PairedDevice.h"

#include <corvane/setup/JsonFields.h>

namespace corvane {

std::optional<PairedDevice> PairedDevice::decode(const QJsonObject& object) {
    return JsonFields::decode(object, [](JsonFields& f) {
        return PairedDevice{
            .id = f.text(u"id"),
            .name = f.text(u"name"),
            .lastSeenAt = f.optionalText(u"lastSeenAt"),
        };
    });
}

std::optional<IssuedDeviceKey> IssuedDeviceKey::decode(const QJsonObject& object) {
    return JsonFields::decode(object, [](JsonFields& f) {
        return IssuedDeviceKey{
            .token = f.text(u"token"),
            .deviceId = f.text(u"deviceId"),
        };
    });
}

} // namespace corvane
