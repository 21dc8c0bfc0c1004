#include "NetworkPreference.h"

#include <corvane/support/RawValue.h>

namespace corvane::NetworkPreferences {

using namespace Qt::Literals::StringLiterals;

QString toRaw(NetworkPreference preference) {
    switch (preference) {
    case NetworkPreference::thisComputerOnly:
        return u"this-computer-only"_s;
    case NetworkPreference::homeNetwork:
        return u"home-network"_s;
    }
    Q_UNREACHABLE();
    return {};
}

std::optional<NetworkPreference> fromRaw(const QString& raw) {
    return caseForRaw(allCases, &toRaw, raw);
}

NetworkPreference from(const std::optional<QString>& stored) {
    return stored ? fromRaw(*stored).value_or(safeDefault) : safeDefault;
}

Environment serverSettings(NetworkPreference preference) {
    if (preference == NetworkPreference::homeNetwork)
        return {{u"BIND_HOST"_s, u"0.0.0.0"_s}, {u"ALLOW_PUBLIC_BIND"_s, u"true"_s}};
    return {{u"BIND_HOST"_s, u"127.0.0.1"_s}, {u"ALLOW_PUBLIC_BIND"_s, u"false"_s}};
}

QString label() {
    return u"Answer my home network"_s;
}

QString explanation(NetworkPreference preference) {
    if (preference == NetworkPreference::homeNetwork)
        return u"Your phone can reach Kestrin over your wi-fi. So can anything else on that network, "
               u"including a guest — it still has to be paired first. This connection is not encrypted, "
               u"so only turn it on for a network you trust, like your home."_s;
    return u"Only this computer can reach Kestrin. Turn this on to connect your phone."_s;
}

} // namespace corvane::NetworkPreferences
