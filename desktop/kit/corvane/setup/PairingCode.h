#pragma once

#include <QJsonObject>
#include <QString>

#include <chrono>
#include <optional>

namespace corvane {

// The short code a phone types to pair, and when it stops working.
struct PairingCode {
    using Clock = std::chrono::system_clock;

    QString code;
    Clock::time_point expiresAt;

    // Whole seconds left, rounded down; never below 0.
    qint64 secondsRemaining(Clock::time_point now) const;
    // The seconds left as minutes:seconds, "2:05"; minutes are not capped at 59.
    QString countdown(Clock::time_point now) const;

    bool operator==(const PairingCode&) const = default;
};

// The server's answer about its pairing code: either field may be missing when it has none.
struct PairingCodeReply {
    std::optional<QString> code;
    std::optional<double> expiresAt; // milliseconds since 1970-01-01 00:00 UTC

    // A code only when there is a non-empty one with an expiry.
    std::optional<PairingCode> resolved() const;

    static std::optional<PairingCodeReply> decode(const QJsonObject& object);

    bool operator==(const PairingCodeReply&) const = default;
};

} // namespace corvane
