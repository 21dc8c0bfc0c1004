#include "GlassesHandshake.h"

#include <corvane/glasses/GlassesReader.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

GlassesHandshake cannotReach(const QString& reason, const QString& whatToDo) {
    return {GlassesHandshake::CannotReach{reason, whatToDo}};
}

const QString makeSureRunning = u"Make sure Kestrin is running, then try again."_s;

// A word as the device's shell reads it back unchanged, whatever it holds.
QString shellQuoted(const QString& word) {
    QString quoted = word;
    quoted.replace(u'\'', u"'\\''"_s);
    return u'\'' + quoted + u'\'';
}

// A command line typed at the device's shell.
AdbCommand typedAtShell(const QStringList& words) {
    QStringList line;
    for (const QString& word : words)
        line.append(shellQuoted(word));
    return {{u"shell"_s}, (line.join(u' ') + u'\n').toUtf8()};
}

} // namespace

QCoro::Task<GlassesHandshake>
GlassesHandshake::from(SetupInfo info, std::optional<GlassesNetwork> glassesNetwork, IssueKey issueKey) {
    if (!info.lanEnabled)
        co_return cannotReach(
            u"Kestrin is only answering this computer, so your glasses can't reach it."_s,
            u"Turn on “Answer my home network” and try again. Your phone can reach Kestrin over your wi-fi. "
            u"So "
            u"can anything else on that network, including a guest — it still has to be paired first. This "
            u"connection is not encrypted, so only turn it on for a network you trust, like your home."_s);
    if (info.addresses.isEmpty())
        co_return cannotReach(u"This computer isn't on a network right now."_s,
                              u"Connect it to wi-fi, then try again."_s);
    QString address = info.addresses.first();
    if (glassesNetwork)
        for (const QString& candidate : std::as_const(info.addresses))
            if (glassesNetwork->contains(candidate)) {
                address = candidate;
                break;
            }
    const std::expected<IssuedDeviceKey, SetupClientError> key = co_await issueKey();
    if (!key)
        co_return cannotReach(u"Kestrin couldn't create a key for your glasses."_s, makeSureRunning);
    const QString hostAndPort = address + u':' + QString::number(info.port);
    co_return GlassesHandshake{
        Connect{u"ws://"_s + hostAndPort + u"/ws"_s, u"http://"_s + hostAndPort, key->token, key->deviceId}};
}

QCoro::Task<GlassesHandshake> GlassesHandshake::forThisMac(SetupClient client,
                                                           std::optional<GlassesNetwork> glassesNetwork,
                                                           QString deviceName) {
    const std::expected<SetupInfo, SetupClientError> info = co_await client.load();
    if (!info)
        co_return cannotReach(u"Kestrin couldn't ask the server where it is."_s, makeSureRunning);
    IssueKey issue = [client, deviceName] { return client.issueDevice(deviceName); };
    co_return co_await from(*info, glassesNetwork, std::move(issue));
}

QList<AdbCommand> GlassesHandshake::deliveryCommands(const Connect& connect) {
    const QString app = GlassesApp::packageName.toString();
    return {typedAtShell({u"am"_s, u"force-stop"_s, app}),
            typedAtShell({u"am"_s, u"start"_s, u"-n"_s, app + u"/.MainActivity"_s, u"--es"_s, u"server_url"_s,
                          connect.wsUrl, u"--es"_s, u"http_url"_s, connect.httpUrl, u"--es"_s,
                          u"ws_auth_token"_s, connect.token})};
}

QCoro::Task<GlassesHandshake> LocalGlassesServer::handshake(std::optional<GlassesNetwork> glassesNetwork) {
    return GlassesHandshake::forThisMac(m_client, std::move(glassesNetwork),
                                        GlassesHandshake::glassesDeviceName.toString());
}

QCoro::Task<bool> LocalGlassesServer::hasConnected(QString deviceId) {
    const SetupClient client = m_client;
    const std::expected<QList<PairedDevice>, SetupClientError> devices = co_await client.listPairedDevices();
    co_return devices&& std::ranges::any_of(*devices, [&](const PairedDevice& device) {
        return device.id == deviceId && device.lastSeenAt.has_value();
    });
}

QCoro::Task<> LocalGlassesServer::revoke(QString deviceId) {
    const SetupClient client = m_client;
    co_await client.revokeDevice(deviceId);
}

} // namespace corvane
