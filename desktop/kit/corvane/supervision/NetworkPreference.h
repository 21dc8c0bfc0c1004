#pragma once

#include <corvane/shell/Environment.h>

#include <QString>

#include <array>
#include <optional>

namespace corvane {

// Who may reach the server: this computer only (the default) or the home network too.
enum class NetworkPreference { thisComputerOnly, homeNetwork };

namespace NetworkPreferences {

inline constexpr std::array allCases{NetworkPreference::thisComputerOnly, NetworkPreference::homeNetwork};
inline constexpr NetworkPreference safeDefault = NetworkPreference::thisComputerOnly;
// The settings key under which the choice is stored, as its raw value.
inline constexpr QStringView settingsKey = u"networkPreference";

QString toRaw(NetworkPreference preference);
// Exactly one of the two raw values, case-sensitive.
std::optional<NetworkPreference> fromRaw(const QString& raw);
// A stored value, which may be anything or nothing; never fails.
NetworkPreference from(const std::optional<QString>& stored);

// BIND_HOST and ALLOW_PUBLIC_BIND for the server.
Environment serverSettings(NetworkPreference preference);
QString label();
QString explanation(NetworkPreference preference);

} // namespace NetworkPreferences

} // namespace corvane
