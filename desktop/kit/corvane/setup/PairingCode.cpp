#include "PairingCode.h"

#include <corvane/setup/JsonFields.h>

#include <algorithm>
#include <cmath>

namespace corvane {

qint64 PairingCode::secondsRemaining(Clock::time_point now) const {
    return std::max<qint64>(0, std::chrono::floor<std::chrono::seconds>(expiresAt - now).count());
}

QString PairingCode::countdown(Clock::time_point now) const {
    const qint64 seconds = secondsRemaining(now);
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

std::optional<PairingCode> PairingCodeReply::resolved() const {
    if (!code || code->isEmpty() || !expiresAt)
        return std::nullopt;
    // Kept between 1970 and what the clock can hold (about 292 years on), so that a wild expiry is
    // long past or far off rather than an overflow, here or when the time left is worked out. Whole
    // milliseconds are converted exactly; only a fraction of one goes through floating point.
    constexpr double limitMs = 9.0e12;
    const double ms = std::clamp(*expiresAt, 0.0, limitMs);
    const double wholeMs = std::floor(ms);
    const auto sinceEpoch =
        std::chrono::milliseconds(static_cast<qint64>(wholeMs)) +
        std::chrono::round<std::chrono::nanoseconds>(std::chrono::duration<double, std::milli>(ms - wholeMs));
    return PairingCode{
        .code = *code,
        .expiresAt = PairingCode::Clock::time_point(
            std::chrono::duration_cast<PairingCode::Clock::duration>(sinceEpoch)),
    };
}

std::optional<PairingCodeReply> PairingCodeReply::decode(const QJsonObject& object) {
    return JsonFields::decode(object, [](JsonFields& f) {
        return PairingCodeReply{
            .code = f.optionalText(u"code"),
            .expiresAt = f.optionalNumber(u"expiresAt"),
        };
    });
}

} // namespace corvane
