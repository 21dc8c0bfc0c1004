// The glasses' handshake: which address of this computer they are given, when no key is issued, the
// command lines that deliver it, the settings-backed ledger of keys, and, against the reference
// server, a key issued, seen once the glasses connect with it, and revoked.

#include "support/ReferenceServer.h"
#include "support/ServerViewModelFixture.h"

#include <corvane/glasses/GlassesHandshake.h>
#include <corvane/glasses/GlassesKeyLedger.h>

#include <corvane/SocketHTTPTransport.h>

#include <QProcess>
#include <QTcpSocket>
#include <QTest>
#include <qcorotask.h>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

using Handshake = GlassesHandshake;
const IssuedDeviceKey key{u"tok-123"_s, u"dev-9"_s};

Handshake connectTo(const QString& address) {
    return {Handshake::Connect{u"ws://%1:8787/ws"_s.arg(address), u"http://%1:8787"_s.arg(address), key.token,
                               key.deviceId}};
}

// Connects to the server's /ws with the token, as the glasses app does, and waits for the upgrade.
bool connectLikeTheGlasses(QTcpSocket& socket, int port, const QString& token) {
    socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
    if (!socket.waitForConnected(3000))
        return false;
    socket.write("GET /ws?token=" + token.toUtf8() +
                 " HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                 "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n");
    QByteArray answer;
    while (!answer.contains("\r\n\r\n") && socket.waitForReadyRead(3000))
        answer += socket.readAll();
    return answer.startsWith("HTTP/1.1 101");
}

} // namespace

class TestGlassesHandshake : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theHandshake_data() {
        QTest::addColumn<bool>("lanEnabled");
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<std::optional<GlassesNetwork>>("glasses");
        QTest::addColumn<bool>("keyIssues");
        QTest::addColumn<Handshake>("handshake");
        QTest::addColumn<int>("keysIssued");
        const std::optional<GlassesNetwork> home = GlassesNetwork{u"192.168.1.20"_s, 24};
        const std::optional<GlassesNetwork> unknown;
        const QStringList both{u"10.0.0.5"_s, u"192.168.1.7"_s};
        QTest::newRow("the address on the glasses' network")
            << true << both << home << true << connectTo(u"192.168.1.7"_s) << 1;
        QTest::newRow("no network known: the first")
            << true << both << unknown << true << connectTo(u"10.0.0.5"_s) << 1;
        QTest::newRow("none on their network: the first")
            << true << QStringList{u"10.0.0.5"_s, u"172.16.0.2"_s} << home << true << connectTo(u"10.0.0.5"_s)
            << 1;
        QTest::newRow("only this computer answered")
            << false << both << home << true
            << Handshake{Handshake::CannotReach{
                   u"Kestrin is only answering this computer, so your glasses can't reach it."_s,
                   u"Turn on “Answer my home network” and try again. Your phone can reach Kestrin over your "
                   u"wi-fi. "
                   u"So can anything else on that network, including a guest — it still has to be paired "
                   u"first. "
                   u"This connection is not encrypted, so only turn it on for a network you trust, like your home."_s}}
            << 0;
        QTest::newRow("no address") << true << QStringList{} << home << true
                                    << Handshake{Handshake::CannotReach{
                                           u"This computer isn't on a network right now."_s,
                                           u"Connect it to wi-fi, then try again."_s}}
                                    << 0;
        QTest::newRow("no key") << true << both << home << false
                                << Handshake{Handshake::CannotReach{
                                       u"Kestrin couldn't create a key for your glasses."_s,
                                       u"Make sure Kestrin is running, then try again."_s}}
                                << 1;
    }
    void theHandshake() {
        QFETCH(bool, lanEnabled);
        QFETCH(QStringList, addresses);
        QFETCH(std::optional<GlassesNetwork>, glasses);
        QFETCH(bool, keyIssues);
        QFETCH(Handshake, handshake);
        QFETCH(int, keysIssued);
        int issued = 0;
        const SetupInfo info{.port = 8787, .addresses = addresses, .lanEnabled = lanEnabled};
        Handshake::IssueKey issue = [&]() -> QCoro::Task<std::expected<IssuedDeviceKey, SetupClientError>> {
            ++issued;
            if (!keyIssues)
                co_return std::unexpected(SetupClientError(SetupClientError::Refused{u"No."_s}));
            co_return key;
        };
        QVERIFY(QCoro::waitFor(Handshake::from(info, glasses, issue)) == handshake);
        QCOMPARE(issued, keysIssued);
    }

    // Both commands are typed at the device's shell, each word quoted as that shell reads it back,
    // so that the key is in no command line of this computer.
    void theDeliveryCommands() {
        auto connect = std::get<Handshake::Connect>(connectTo(u"192.168.1.7"_s).value);
        QCOMPARE(Handshake::deliveryCommands(connect),
                 (QList<AdbCommand>{
                     {{u"shell"_s}, "'am' 'force-stop' 'com.corvane.app'\n"},
                     {{u"shell"_s},
                      "'am' 'start' '-n' 'com.corvane.app/.MainActivity' '--es' 'server_url' "
                      "'ws://192.168.1.7:8787/ws' '--es' 'http_url' 'http://192.168.1.7:8787' '--es' "
                      "'ws_auth_token' 'tok-123'\n"}}));
        // Whatever a key holds, the shell gets it back as one word.
        connect.token = u"it's $(reboot); `x`"_s;
        const QByteArray typed = Handshake::deliveryCommands(connect).last().input;
        QProcess shell;
        shell.start(u"sh"_s, {u"-c"_s, u"printf '%s|' "_s + QString::fromUtf8(typed.chopped(1))});
        QVERIFY(shell.waitForFinished());
        QVERIFY(shell.readAllStandardOutput().endsWith("|ws_auth_token|it's $(reboot); `x`|"));
    }

    void theLedgerOfKeys() {
        const auto defaults = std::make_shared<MemoryDefaults>();
        DefaultsGlassesKeyLedger ledger(defaults);
        QCOMPARE(ledger.keys(u"SERIAL1"_s), QStringList());
        ledger.record({u"a"_s, u"b"_s}, u"SERIAL1"_s);
        ledger.record({}, u"SERIAL2"_s);
        QCOMPARE(ledger.keys(u"SERIAL1"_s), (QStringList{u"a"_s, u"b"_s}));
        QCOMPARE(ledger.keys(u"SERIAL2"_s), QStringList());
        QVERIFY(defaults->values.value(u"glassesKeysBySerial"_s).toMap().contains(u"SERIAL2"_s));
        ledger.record({u"c"_s}, u"SERIAL1"_s); // the other serial's entry stays
        QCOMPARE(ledger.keys(u"SERIAL1"_s), QStringList{u"c"_s});
        QVERIFY(defaults->values.value(u"glassesKeysBySerial"_s).toMap().contains(u"SERIAL2"_s));

        // What is not a list of text reads as no keys.
        defaults->values.insert(
            u"glassesKeysBySerial"_s,
            QVariantMap{{u"S"_s, 7}, {u"T"_s, QVariantList{u"x"_s, 3}}, {u"U"_s, u"x"_s}});
        QCOMPARE(ledger.keys(u"S"_s), QStringList());
        QCOMPARE(ledger.keys(u"T"_s), QStringList());
        QCOMPARE(ledger.keys(u"U"_s), QStringList());
        defaults->values.insert(u"glassesKeysBySerial"_s, u"not a map"_s);
        QCOMPARE(ledger.keys(u"S"_s), QStringList());
        ledger.record({u"d"_s}, u"S"_s);
        QCOMPARE(ledger.keys(u"S"_s), QStringList{u"d"_s});
    }

    // Against the reference server: the key issued for the glasses counts as connected only once they
    // connect with it, and is gone once revoked.
    void aKeyIsSeenAndRevoked() {
        const LocalAdminSecret secret = *LocalAdminSecret::mint();
        ReferenceServer server(secret);
        QVERIFY2(server.error().isEmpty(), qPrintable(server.error()));
        const SetupClient client(std::make_shared<SocketHTTPTransport>(), server.port(), secret);
        LocalGlassesServer glassesServer(client);

        // Answering this computer only: no key for the glasses.
        const Handshake refused = QCoro::waitFor(glassesServer.handshake(std::nullopt));
        QVERIFY(std::holds_alternative<Handshake::CannotReach>(refused.value));
        QCOMPARE(QCoro::waitFor(client.listPairedDevices())->size(), 0);

        const auto issued = QCoro::waitFor(client.issueDevice(Handshake::glassesDeviceName.toString()));
        QVERIFY(issued);
        QVERIFY(!QCoro::waitFor(glassesServer.hasConnected(issued->deviceId)));
        QTcpSocket glasses;
        QVERIFY(connectLikeTheGlasses(glasses, server.port(), issued->token));
        QTRY_VERIFY(QCoro::waitFor(glassesServer.hasConnected(issued->deviceId)));
        QVERIFY(!QCoro::waitFor(glassesServer.hasConnected(u"someone-else"_s)));
        QCoro::waitFor(glassesServer.revoke(issued->deviceId));
        QCOMPARE(QCoro::waitFor(client.listPairedDevices())->size(), 0);
        QCoro::waitFor(glassesServer.revoke(issued->deviceId)); // again: ignored
        server.stop();
        QVERIFY(!QCoro::waitFor(glassesServer.hasConnected(issued->deviceId)));
        const Handshake gone = QCoro::waitFor(glassesServer.handshake(std::nullopt));
        QVERIFY(gone ==
                (Handshake{Handshake::CannotReach{u"Kestrin couldn't ask the server where it is."_s,
                                                  u"Make sure Kestrin is running, then try again."_s}}));
    }
};

QTEST_GUILESS_MAIN(TestGlassesHandshake)
#include "tst_GlassesHandshake.moc"
