#include "CodeReadout.h"

namespace corvane {

using namespace Qt::Literals::StringLiterals;

std::optional<PairingCode> CodeReadout::liveCode() const {
    if (pairingCode && pairingCode->secondsRemaining(now) >= 1)
        return pairingCode;
    return std::nullopt;
}

QString CodeReadout::codeTag() const {
    if (const auto live = liveCode())
        return u"GOOD FOR "_s + live->countdown(now);
    return pairingCode ? u"THAT CODE EXPIRED"_s : u"NO CODE RIGHT NOW"_s;
}

} // namespace corvane
