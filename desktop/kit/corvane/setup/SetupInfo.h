#pragma once

#include <corvane/setup/VoiceStatus.h>

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

// The server's answer to "how are you set up?".
struct SetupInfo {
    int port = 0;
    std::optional<QString> hostname; // this computer's network name; the phone's first choice to dial
    QStringList addresses;           // in the server's order
    bool lanEnabled = false;         // the home network may reach the server, not only this computer
    std::optional<bool> projectsConfigured;
    std::optional<VoiceStatus> voice;
    std::optional<bool> keepAwake; // absent: the server has no opinion

    static std::optional<SetupInfo> decode(const QJsonObject& object);

    bool operator==(const SetupInfo&) const = default;
};

} // namespace corvane
