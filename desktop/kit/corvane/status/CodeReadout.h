#pragma once

#include <corvane/setup/PairingCode.h>

#include <QString>

#include <optional>

namespace corvane {

// What the menu says about the pairing code at a given moment.
struct CodeReadout {
    std::optional<PairingCode> pairingCode;
    PairingCode::Clock::time_point now;

    // The code while at least one whole second of it is left.
    std::optional<PairingCode> liveCode() const;
    // "GOOD FOR 4:59", "NO CODE RIGHT NOW" or "THAT CODE EXPIRED".
    QString codeTag() const;
};

} // namespace corvane
