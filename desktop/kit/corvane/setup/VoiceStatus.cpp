#include "VoiceStatus.h"

#include <corvane/setup/JsonFields.h>
#include <corvane/support/RawValue.h>

namespace corvane {

QString VoiceStatus::toRaw(State state) {
    switch (state) {
    case State::off:
        return QStringLiteral("off");
    case State::downloading:
        return QStringLiteral("downloading");
    case State::preparing:
        return QStringLiteral("preparing");
    case State::ready:
        return QStringLiteral("ready");
    case State::failed:
        return QStringLiteral("failed");
    case State::unknown:
        break;
    }
    return QStringLiteral("unknown");
}

VoiceStatus::State VoiceStatus::stateFromRaw(const QString& raw) {
    return caseForRaw(allStates, &toRaw, raw).value_or(State::unknown);
}

VoiceStatus::Tone VoiceStatus::toneOf(State state) {
    switch (state) {
    case State::downloading:
    case State::preparing:
        return Tone::working;
    case State::ready:
        return Tone::good;
    case State::failed:
        return Tone::problem;
    case State::off:
    case State::unknown:
        break;
    }
    return Tone::quiet;
}

ReadoutLamp VoiceStatus::lampOf(Tone tone) {
    switch (tone) {
    case Tone::good:
        return ReadoutLamp::ok;
    case Tone::working:
        return ReadoutLamp::working;
    case Tone::problem:
        return ReadoutLamp::waiting;
    case Tone::quiet:
        break;
    }
    return ReadoutLamp::off;
}

std::optional<VoiceStatus> VoiceStatus::decode(const QJsonObject& object) {
    return JsonFields::decode(object, [](JsonFields& f) {
        return VoiceStatus{
            .state = stateFromRaw(f.text(u"state")),
            .message = f.text(u"message"),
            .loadedMB = f.optionalInteger<qint64>(u"loadedMB"),
            .totalMB = f.optionalInteger<qint64>(u"totalMB"),
            .model = f.optionalText(u"model"),
        };
    });
}

} // namespace corvane
