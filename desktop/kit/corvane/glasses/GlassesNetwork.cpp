#include "GlassesNetwork.h"

#include <QList>

#include <algorithm>

namespace corvane {

std::optional<std::uint32_t> GlassesNetwork::number(QStringView address) {
    const QList<QStringView> parts = address.split(u'.');
    if (parts.size() != 4)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const QStringView part : parts) {
        bool isNumber = false;
        const uint byte = part.toUInt(&isNumber);
        if (part.isEmpty() || !std::ranges::all_of(part, [](QChar c) { return c >= u'0' && c <= u'9'; }) ||
            !isNumber || byte > 255)
            return std::nullopt;
        value = (value << 8) | byte;
    }
    return value;
}

bool GlassesNetwork::contains(QStringView other) const {
    const auto own = number(address);
    const auto theirs = number(other);
    if (prefixLength > 32 || prefixLength < 0 || !own || !theirs)
        return false;
    if (prefixLength == 0)
        return true;
    const std::uint32_t mask = ~std::uint32_t{0} << (32 - prefixLength);
    return (*own & mask) == (*theirs & mask);
}

} // namespace corvane
