#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace corvane {

// The glasses' Wi-Fi network: their IPv4 address and the prefix of its network.
struct GlassesNetwork {
    QString address;
    int prefixLength = 0;

    // A dotted IPv4 address as a number, the first part most significant; nothing unless it is
    // exactly four decimal parts from 0 to 255.
    static std::optional<std::uint32_t> number(QStringView address);
    // Whether `address` is on this network.
    bool contains(QStringView address) const;

    bool operator==(const GlassesNetwork&) const = default;
};

} // namespace corvane
