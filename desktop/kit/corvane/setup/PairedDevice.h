#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

namespace corvane {

// A phone or the glasses, as the server remembers it.
struct PairedDevice {
    static constexpr QStringView glassesName = u"Glasses";

    QString id;
    QString name;
    std::optional<QString> lastSeenAt; // in the server's own format; present once it has connected

    // Only the exact name "Glasses" is the glasses; every other device is a phone.
    bool isGlasses() const { return name == glassesName; }

    static std::optional<PairedDevice> decode(const QJsonObject& object);

    bool operator==(const PairedDevice&) const = default;
};

// A device key the server has just issued, and the paired-device id it is recorded under.
struct IssuedDeviceKey {
    QString token;
    QString deviceId;

    static std::optional<IssuedDeviceKey> decode(const QJsonObject& object);

    bool operator==(const IssuedDeviceKey&) const = default;
};

} // namespace corvane
