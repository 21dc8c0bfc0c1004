#pragma once

#include <QString>

#include <optional>
#include <ranges>

namespace corvane {

// The case among `allCases` whose raw value is exactly `raw` (case-sensitive), if any.
template <std::ranges::range Cases, typename ToRaw>
auto caseForRaw(const Cases& allCases, ToRaw toRaw, const QString& raw)
    -> std::optional<std::ranges::range_value_t<Cases>> {
    for (const auto value : allCases)
        if (toRaw(value) == raw)
            return value;
    return std::nullopt;
}

} // namespace corvane
