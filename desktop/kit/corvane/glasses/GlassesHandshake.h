#pragma once

#include <corvane/glasses/AdbRunner.h>
#include <corvane/glasses/GlassesNetwork.h>
#include <corvane/setup/PairedDevice.h>
#include <corvane/setup/SetupClient.h>
#include <corvane/setup/SetupInfo.h>

#include <QStringList>
#include <qcorotask.h>

#include <functional>
#include <optional>
#include <variant>

namespace corvane {

// What the glasses are handed so that they reach the server over Wi-Fi on their own: an address of
// this computer they can reach, and a device key issued for them. Or why they cannot be given one.
struct GlassesHandshake {
    struct Connect {
        QString wsUrl;
        QString httpUrl;
        QString token;
        QString deviceId; // stays on this side: it recognises the glasses' connection and revokes the key
        bool operator==(const Connect&) const = default;
    };
    struct CannotReach {
        QString reason;
        QString whatToDo;
        bool operator==(const CannotReach&) const = default;
    };

    std::variant<CannotReach, Connect> value;
    bool operator==(const GlassesHandshake&) const = default;

    // The device name every key for glasses is issued under.
    static constexpr QStringView glassesDeviceName = u"Glasses";

    using IssueKey = std::function<QCoro::Task<std::expected<IssuedDeviceKey, SetupClientError>>()>;
    static QCoro::Task<GlassesHandshake> from(SetupInfo info, std::optional<GlassesNetwork> glassesNetwork,
                                              IssueKey issueKey);
    static QCoro::Task<GlassesHandshake>
    forThisMac(SetupClient client, std::optional<GlassesNetwork> glassesNetwork, QString deviceName);

    // The adb commands that hand `connect` to the glasses app: stop it, then start it with the three
    // extras. Both are typed at the device's shell through adb's standard input, so the key never
    // stands in a command line that other accounts on this computer can read.
    static QList<AdbCommand> deliveryCommands(const Connect& connect);
};

// The setup's view of the server. None of its operations fails: a failure is a handshake that cannot
// reach, a connection not seen, a key left unrevoked.
class GlassesServer {
public:
    virtual ~GlassesServer() = default;
    virtual QCoro::Task<GlassesHandshake> handshake(std::optional<GlassesNetwork> glassesNetwork) = 0;
    virtual QCoro::Task<bool> hasConnected(QString deviceId) = 0;
    virtual QCoro::Task<> revoke(QString deviceId) = 0;
};

// The local server, through its setup API.
class LocalGlassesServer final : public GlassesServer {
public:
    explicit LocalGlassesServer(SetupClient client)
        : m_client(std::move(client)) {}

    QCoro::Task<GlassesHandshake> handshake(std::optional<GlassesNetwork> glassesNetwork) override;
    QCoro::Task<bool> hasConnected(QString deviceId) override;
    QCoro::Task<> revoke(QString deviceId) override;

private:
    SetupClient m_client;
};

} // namespace corvane
