// The setup client against a real loopback HTTP server that records each request and answers what
// the test scripts, through the real Qt transport.

#include "support/RecordingHttpServer.h"
#include "support/TestSupport.h"

#include <corvane/setup/SetupClient.h>

#include <corvane/SocketHTTPTransport.h>

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QTest>
#include <qcorotask.h>

#include <functional>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

namespace {

template <typename T>
using Outcome = std::expected<T, SetupClientError>;

template <typename T>
Outcome<T> run(QCoro::Task<Outcome<T>> task) {
    return QCoro::waitFor(std::move(task));
}

template <typename T>
QCoro::Task<std::optional<SetupClientError>> failureOf(QCoro::Task<Outcome<T>> task) {
    const auto result = co_await std::move(task);
    co_return result ? std::nullopt : std::optional(result.error());
}

// Runs one operation and gives its failure, if any, whatever the operation returns.
using Operation = std::function<QCoro::Task<std::optional<SetupClientError>>(const SetupClient&)>;

const SetupClientError unreadable = SetupClientError::Unreadable{};

// What a read gives for a reply that decodes as `expected`, or as nothing.
template <typename T>
Outcome<T> decodedOrUnreadable(const std::optional<T>& expected) {
    return expected ? Outcome<T>(*expected) : Outcome<T>(std::unexpected(unreadable));
}

SetupClientError refused(const QString& text) {
    return SetupClientError::Refused{text};
}

LocalAdminSecret testSecret() {
    return *LocalAdminSecret::fromHex(u"0123456789abcdef"_s.repeated(4));
}

// Answers every request with one reply, or one failure, and keeps what it was asked.
class ScriptedTransport final : public HTTPTransport {
public:
    explicit ScriptedTransport(std::expected<HTTPReply, QString> answer)
        : m_answer(std::move(answer)) {}
    QCoro::Task<std::expected<HTTPReply, QString>> send(HTTPRequest request) override {
        sent.append(std::move(request));
        co_return m_answer;
    }
    QList<HTTPRequest> sent;

private:
    std::expected<HTTPReply, QString> m_answer;
};

const QByteArray minimalSetup = R"({"port":9111,"addresses":[],"lanEnabled":false})";

} // namespace

Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(std::optional<SetupClientError>)
Q_DECLARE_METATYPE(std::optional<SetupInfo>)
Q_DECLARE_METATYPE(std::optional<ApprovalSnapshot>)
Q_DECLARE_METATYPE(ScriptedReply::Kind)

class TestSetupClient : public QObject {
    Q_OBJECT

    std::unique_ptr<RecordingHttpServer> m_server;

    SetupClient client(std::optional<LocalAdminSecret> secret = testSecret(),
                       std::chrono::milliseconds limit = SetupClient::defaultExchangeLimit) const {
        return SetupClient(std::make_shared<SocketHTTPTransport>(), m_server->port(), std::move(secret),
                           limit);
    }

    void answer(int status, QByteArray body, ScriptedReply::Kind kind = ScriptedReply::Kind::complete) {
        m_server->answer({.status = status, .body = std::move(body), .kind = kind});
    }

private Q_SLOTS:
    void init() { m_server = std::make_unique<RecordingHttpServer>(); }
    void cleanup() { m_server.reset(); }

    void sendsEachOperationAsItsRequest_data() {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QByteArray>("body"); // empty: the request must have no body
        QTest::addColumn<QByteArray>("reply");

        const QByteArray ok = R"({"ok":true})";
        const QByteArray approval = R"({"claude":"ask","codex":"ask"})";
        QTest::newRow("loadApproval")
            << Operation([](const SetupClient& c) { return failureOf(c.loadApproval()); }) << "GET"_ba
            << "/api/setup/approval"_ba << QByteArray() << approval;
        QTest::newRow("setApproval(claude)") << Operation([](const SetupClient& c) {
            return failureOf(c.setApproval(ClaudeApprovalMode::readOnly));
        }) << "POST"_ba
                                             << "/api/setup/approval"_ba
                                             << R"({"backend":"claude","mode":"read_only"})"_ba << approval;
        QTest::newRow("setApproval(codex)") << Operation([](const SetupClient& c) {
            return failureOf(c.setApproval(CodexApprovalMode::dangerFull));
        }) << "POST"_ba
                                            << "/api/setup/approval"_ba
                                            << R"({"backend":"codex","mode":"danger_full"})"_ba << approval;
        QTest::newRow("load") << Operation([](const SetupClient& c) { return failureOf(c.load()); })
                              << "GET"_ba
                              << "/api/setup"_ba << QByteArray() << minimalSetup;
        QTest::newRow("issueDevice") << Operation([](const SetupClient& c) {
            return failureOf(c.issueDevice(u"Glasses"_s));
        }) << "POST"_ba
                                     << "/api/pair/devices"_ba
                                     << R"({"name":"Glasses"})"_ba
                                     << R"({"token":"t","deviceId":"d"})"_ba;
        QTest::newRow("listPairedDevices")
            << Operation([](const SetupClient& c) { return failureOf(c.listPairedDevices()); }) << "GET"_ba
            << "/api/pair/devices"_ba << QByteArray() << R"({"devices":[]})"_ba;
        QTest::newRow("revokeDevice")
            << Operation([](const SetupClient& c) { return failureOf(c.revokeDevice(u"d1"_s)); })
            << "DELETE"_ba
            << "/api/pair/devices/d1"_ba << QByteArray() << QByteArray();
        QTest::newRow("loadPreviews")
            << Operation([](const SetupClient& c) { return failureOf(c.loadPreviews()); }) << "GET"_ba
            << "/api/setup/previews"_ba << QByteArray() << R"({"enabled":true})"_ba;
        QTest::newRow("setPreviews") << Operation([](const SetupClient& c) {
            return failureOf(c.setPreviews(true));
        }) << "POST"_ba
                                     << "/api/setup/previews"_ba
                                     << R"({"enabled":true})"_ba
                                     << R"({"enabled":true})"_ba;
        QTest::newRow("loadPairingCode")
            << Operation([](const SetupClient& c) { return failureOf(c.loadPairingCode()); }) << "GET"_ba
            << "/api/pair/code"_ba << QByteArray() << "{}"_ba;
        QTest::newRow("createPairingCode")
            << Operation([](const SetupClient& c) { return failureOf(c.createPairingCode()); }) << "POST"_ba
            << "/api/pair/code"_ba << QByteArray() << R"({"code":"123456","expiresAt":1})"_ba;
        QTest::newRow("loadAgents")
            << Operation([](const SetupClient& c) { return failureOf(c.loadAgents()); }) << "GET"_ba
            << "/api/setup/agents"_ba << QByteArray()
            << R"({"agents":{"claude":{"authenticated":false},"codex":{"authenticated":true}}})"_ba;
        QTest::newRow("startCodexLogin")
            << Operation([](const SetupClient& c) { return failureOf(c.startCodexLogin()); }) << "POST"_ba
            << "/api/setup/agents/codex/login"_ba << QByteArray()
            << "{\"loginId\":\"l\",\"verificationUrl\":\"https://example.com/device\",\"userCode\":\"AB-12\"}"_ba;
        QTest::newRow("cancelCodexLogin")
            << Operation([](const SetupClient& c) { return failureOf(c.cancelCodexLogin(u"l1"_s)); })
            << "POST"_ba
            << "/api/setup/agents/codex/login/cancel"_ba
            << R"({"loginId":"l1"})"_ba << ok;
        QTest::newRow("saveClaudeKey")
            << Operation([](const SetupClient& c) { return failureOf(c.saveClaudeKey(u"sk-ant-x"_s)); })
            << "POST"_ba
            << "/api/setup/agents/claude/key"_ba
            << R"({"apiKey":"sk-ant-x"})"_ba << ok;
        QTest::newRow("removeClaudeKey")
            << Operation([](const SetupClient& c) { return failureOf(c.removeClaudeKey()); }) << "DELETE"_ba
            << "/api/setup/agents/claude/key"_ba << QByteArray() << ok;
        QTest::newRow("saveCodexKey")
            << Operation([](const SetupClient& c) { return failureOf(c.saveCodexKey(u"sk-x"_s)); })
            << "POST"_ba
            << "/api/setup/agents/codex/key"_ba
            << R"({"apiKey":"sk-x"})"_ba << ok;
        QTest::newRow("chooseProjectFolder") << Operation([](const SetupClient& c) {
            return failureOf(c.chooseProjectFolder(u"/home/me/code"_s));
        }) << "POST"_ba
                                             << "/api/setup/project-folder"_ba
                                             << R"({"path":"/home/me/code"})"_ba
                                             << R"({"ok":true,"cwd":"/home/me/code","bookmarks":[]})"_ba;
    }

    void sendsEachOperationAsItsRequest() {
        QFETCH(Operation, operation);
        QFETCH(QByteArray, method);
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, reply);

        for (const bool withSecret : {true, false}) {
            answer(200, reply);
            const auto failure =
                QCoro::waitFor(operation(client(withSecret ? std::optional(testSecret()) : std::nullopt)));
            QVERIFY2(!failure, qPrintable(failure ? debugText(*failure) : QString()));
            const RecordedRequest sent = m_server->requests().last();
            QCOMPARE(sent.method, method);
            QCOMPARE(sent.target, target);
            QCOMPARE(sent.header("X-Corvane-Admin"),
                     withSecret ? std::optional(testSecret().hex().toLatin1()) : std::nullopt);
            if (body.isEmpty()) {
                QCOMPARE(sent.body, QByteArray());
                QCOMPARE(sent.header("Content-Type"), std::nullopt);
                QVERIFY(sent.header("Content-Length").value_or("0") == "0");
            } else {
                QCOMPARE(QJsonDocument::fromJson(sent.body), QJsonDocument::fromJson(body));
                QCOMPARE(sent.header("Content-Type"), std::optional("application/json"_ba));
            }
        }
    }

    void buildsTheLoopbackAddress() {
        const auto transport = std::make_shared<ScriptedTransport>(HTTPReply{200, minimalSetup});
        QVERIFY(run(SetupClient(transport, 9111, std::nullopt).load()).has_value());
        QCOMPARE(transport->sent.size(), 1);
        QCOMPARE(transport->sent[0].url.toString(), u"http://127.0.0.1:9111/api/setup"_s);
        QCOMPARE(transport->sent[0].timeout, 5000ms);
        QCOMPARE(transport->sent[0].body, std::nullopt);
    }

    void refusesToBuildAnAddressForAPortOutOfRange_data() {
        QTest::addColumn<int>("port");
        QTest::newRow("negative") << -1;
        QTest::newRow("above 65535") << 65536;
    }

    void refusesToBuildAnAddressForAPortOutOfRange() {
        QFETCH(int, port);
        const auto transport = std::make_shared<ScriptedTransport>(HTTPReply{200, minimalSetup});
        const auto result = run(SetupClient(transport, port, std::nullopt).load());
        QCOMPARE(result.error(),
                 SetupClientError::Unreachable{u"Could not build an address for port %1."_s.arg(port)});
        QCOMPARE(result.error().message(), u"Kestrin could not reach the server on this computer."_s);
        QVERIFY(transport->sent.isEmpty());
    }

    void decodesSetupInfo_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<std::optional<SetupInfo>>("expected"); // nothing: unreadable

        const SetupInfo minimal{.port = 9111};
        QTest::newRow("only the required fields") << minimalSetup << std::optional(minimal);
        QTest::newRow("every field")
            << R"({"port":9111,"hostname":"studio.local","addresses":["192.168.1.5","10.0.0.2"],"lanEnabled":true,)"
               R"("projectsConfigured":true,"keepAwake":false,"voice":{"state":"downloading","message":"Downloading",)"
               R"("loadedMB":12,"totalMB":140.0,"model":"base"}})"_ba
            << std::optional(SetupInfo{.port = 9111,
                                       .hostname = u"studio.local"_s,
                                       .addresses = {u"192.168.1.5"_s, u"10.0.0.2"_s},
                                       .lanEnabled = true,
                                       .projectsConfigured = true,
                                       .voice = VoiceStatus{.state = VoiceStatus::State::downloading,
                                                            .message = u"Downloading"_s,
                                                            .loadedMB = 12,
                                                            .totalMB = 140,
                                                            .model = u"base"_s},
                                       .keepAwake = false});
        QTest::newRow("optional fields null")
            << R"({"port":9111,"addresses":[],"lanEnabled":false,"hostname":null,"voice":null,"keepAwake":null})"_ba
            << std::optional(minimal);
        QTest::newRow("unknown keys")
            << R"({"port":9111,"addresses":[],"lanEnabled":false,"extra":{"a":[1]}})"_ba
            << std::optional(minimal);
        QTest::newRow("unknown voice state")
            << R"({"port":9111,"addresses":[],"lanEnabled":false,"voice":{"state":"napping","message":"zz"}})"_ba
            << std::optional(
                   SetupInfo{.port = 9111,
                             .voice = VoiceStatus{.state = VoiceStatus::State::unknown, .message = u"zz"_s}});
        QTest::newRow("missing port")
            << R"({"addresses":[],"lanEnabled":false})"_ba << std::optional<SetupInfo>();
        QTest::newRow("port null") << R"({"port":null,"addresses":[],"lanEnabled":false})"_ba
                                   << std::optional<SetupInfo>();
        QTest::newRow("port not whole")
            << R"({"port":9111.5,"addresses":[],"lanEnabled":false})"_ba << std::optional<SetupInfo>();
        QTest::newRow("port as text")
            << R"({"port":"9111","addresses":[],"lanEnabled":false})"_ba << std::optional<SetupInfo>();
        QTest::newRow("port beyond an int")
            << R"({"port":1e12,"addresses":[],"lanEnabled":false})"_ba << std::optional<SetupInfo>();
        QTest::newRow("address not text")
            << R"({"port":9111,"addresses":[1],"lanEnabled":false})"_ba << std::optional<SetupInfo>();
        QTest::newRow("lanEnabled as 0")
            << R"({"port":9111,"addresses":[],"lanEnabled":0})"_ba << std::optional<SetupInfo>();
        QTest::newRow("hostname not text")
            << R"({"port":9111,"addresses":[],"lanEnabled":false,"hostname":7})"_ba
            << std::optional<SetupInfo>();
        QTest::newRow("voice without message")
            << R"({"port":9111,"addresses":[],"lanEnabled":false,"voice":{"state":"ready"}})"_ba
            << std::optional<SetupInfo>();
        QTest::newRow("voice loadedMB not whole")
            << R"({"port":9111,"addresses":[],"lanEnabled":false,"voice":{"state":"ready","message":"m","loadedMB":1.5}})"_ba
            << std::optional<SetupInfo>();
        QTest::newRow("an array") << R"([{"port":9111,"addresses":[],"lanEnabled":false}])"_ba
                                  << std::optional<SetupInfo>();
        QTest::newRow("not JSON") << "port=9111"_ba << std::optional<SetupInfo>();
        QTest::newRow("not UTF-8") << "{\"port\":9111,\"addresses\":[\"\xff\xfe\"],\"lanEnabled\":false}"_ba
                                   << std::optional<SetupInfo>();
        QTest::newRow("empty") << QByteArray() << std::optional<SetupInfo>();
    }

    void decodesSetupInfo() {
        QFETCH(QByteArray, body);
        QFETCH(std::optional<SetupInfo>, expected);
        answer(200, body);
        const auto result = run(client().load());
        QCOMPARE(result, decodedOrUnreadable(expected));
    }

    void judgesRepliesThatAreNotWhatTheyClaim_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<ScriptedReply::Kind>("kind");
        QTest::addColumn<std::optional<SetupClientError>>("expected"); // nothing: it decodes

        using enum ScriptedReply::Kind;
        const QByteArray padding(SetupClient::maxReplyBytes, ' ');
        const QByteArray atTheLimit =
            minimalSetup + padding.left(SetupClient::maxReplyBytes - minimalSetup.size());
        QTest::newRow("204 without a body") << 204 << QByteArray() << complete << std::optional(unreadable);
        QTest::newRow("truncated") << 200 << minimalSetup.left(20) << truncated << std::optional(unreadable);
        QTest::newRow("a body of exactly 1 MiB")
            << 200 << atTheLimit << complete << std::optional<SetupClientError>();
        QTest::newRow("a body over 1 MiB")
            << 200 << atTheLimit + ' ' << complete << std::optional(unreadable);
        QTest::newRow("a huge refusal") << 500 << R"({"error":"Disk full"})" + padding << complete
                                        << std::optional(refused(u"The server refused that (500)."_s));
        QTest::newRow("a truncated refusal") << 500 << "{\"error\":\"Disk"_ba << truncated
                                             << std::optional(refused(u"The server refused that (500)."_s));
    }

    void judgesRepliesThatAreNotWhatTheyClaim() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(ScriptedReply::Kind, kind);
        QFETCH(std::optional<SetupClientError>, expected);
        answer(status, body, kind);
        const auto result = run(client().load());
        QCOMPARE(result ? std::nullopt : std::optional(result.error()), expected);
    }

    // A reply holds what came and no more: each read once set aside the whole 1 MiB limit, and a small
    // body kept that much memory for as long as it lived.
    void aSmallReplyHoldsOnlyItsBytes() {
        answer(200, minimalSetup);
        SocketHTTPTransport transport;
        const auto reply = QCoro::waitFor(transport.send(
            {.url = QUrl(u"http://127.0.0.1:%1/api/setup"_s.arg(m_server->port())), .method = "GET"}));
        QVERIFY(reply);
        QCOMPARE(reply->body, minimalSetup);
        QVERIFY2(reply->body.capacity() < 64 * 1024, qPrintable(QString::number(reply->body.capacity())));
    }

    // What cannot go out whole and only to this computer does not go out at all: a header that would
    // break a line (and so smuggle in another), another scheme, or a name to look up.
    void sendsNothingItCannotSendSafely_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QByteArray>("headerValue");

        QTest::newRow("a header with a line break")
            << u"http://127.0.0.1:%1/api/setup"_s << "x\r\nX-Evil: 1"_ba;
        QTest::newRow("a header with a bare newline")
            << u"http://127.0.0.1:%1/api/setup"_s << "x\nX-Evil: 1"_ba;
        QTest::newRow("another scheme") << u"https://127.0.0.1:%1/api/setup"_s << "x"_ba;
        QTest::newRow("a host name") << u"http://example.invalid:%1/api/setup"_s << "x"_ba;
    }

    void sendsNothingItCannotSendSafely() {
        QFETCH(QString, url);
        QFETCH(QByteArray, headerValue);
        SocketHTTPTransport transport;
        const auto reply = QCoro::waitFor(transport.send(
            {.url = QUrl(url.arg(m_server->port())), .method = "GET", .headers = {{"X-Note", headerValue}}}));
        QVERIFY(!reply);
        QVERIFY(!reply.error().isEmpty());
        QTest::qWait(50);
        QCOMPARE(m_server->requests().size(), 0);
    }

    void turnsRefusalsIntoWords_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text");

        QTest::newRow("server's words") << 500 << R"({"error":"Disk full"})"_ba << u"Disk full"_s;
        QTest::newRow("words kept as sent") << 400 << R"({"error":"  Too long. "})"_ba << u"  Too long. "_s;
        QTest::newRow("not found on a read") << 404 << R"({"error":"There is nothing at that address."})"_ba
                                             << u"There is nothing at that address."_s;
        QTest::newRow("empty error") << 500 << R"({"error":""})"_ba << u"The server refused that (500)."_s;
        QTest::newRow("null error") << 500 << R"({"error":null})"_ba << u"The server refused that (500)."_s;
        QTest::newRow("error not text") << 500 << R"({"error":42})"_ba << u"The server refused that (500)."_s;
        QTest::newRow("empty object") << 500 << "{}"_ba << u"The server refused that (500)."_s;
        QTest::newRow("not JSON") << 502 << "<html>Bad gateway</html>"_ba
                                  << u"The server refused that (502)."_s;
        QTest::newRow("no body") << 401 << QByteArray() << u"The server refused that (401)."_s;
        QTest::newRow("a redirect is not followed") << 302 << R"({"error":"Moved"})"_ba << u"Moved"_s;
    }

    void turnsRefusalsIntoWords() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        answer(status, body);
        const auto result = run(client().load());
        QCOMPARE(result.error(), refused(text));
        QCOMPARE(result.error().message(), text);
        QCOMPARE(m_server->requests().size(), 1);
    }

    void aReplyWithoutStatusIsARefusal() {
        const auto transport = std::make_shared<ScriptedTransport>(HTTPReply{0, R"({"port":9111})"});
        QCOMPARE(run(SetupClient(transport, 9111, std::nullopt).load()).error(),
                 refused(u"The server refused that (0)."_s));
    }

    void aServerThatIsNotThereIsUnreachable() {
        const int closedPort = m_server->port();
        m_server.reset();
        const auto result =
            run(SetupClient(std::make_shared<SocketHTTPTransport>(), closedPort, testSecret()).load());
        QVERIFY(std::holds_alternative<SetupClientError::Unreachable>(result.error().value()));
        const QString detail = std::get<SetupClientError::Unreachable>(result.error().value()).detail;
        QVERIFY(!detail.isEmpty());
        QCOMPARE(result.error().message(), u"Kestrin could not reach the server on this computer."_s);
        QVERIFY(!result.error().message().contains(detail));
    }

    void aServerThatNeverAnswersIsUnreachableAtTheLimit() {
        answer(200, minimalSetup, ScriptedReply::Kind::silent);
        QElapsedTimer clock;
        clock.start();
        const auto result = run(client(testSecret(), 300ms).load());
        QVERIFY(std::holds_alternative<SetupClientError::Unreachable>(result.error().value()));
        QVERIFY2(clock.elapsed() >= 300 && clock.elapsed() < 3000,
                 qPrintable(QString::number(clock.elapsed())));
    }

    void revokeJudgesTheStatusItself_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<std::optional<SetupClientError>>("expected"); // nothing: revoked

        QTest::newRow("200") << 200 << "{}"_ba << std::optional<SetupClientError>();
        QTest::newRow("204, no body") << 204 << QByteArray() << std::optional<SetupClientError>();
        QTest::newRow("200, body not JSON") << 200 << "gone"_ba << std::optional<SetupClientError>();
        QTest::newRow("404: already gone")
            << 404 << R"({"error":"There is no such device."})"_ba << std::optional<SetupClientError>();
        QTest::newRow("500 with words")
            << 500 << R"({"error":"Locked"})"_ba << std::optional(refused(u"Locked"_s));
        QTest::newRow("401 without words")
            << 401 << QByteArray() << std::optional(refused(u"The server refused that (401)."_s));
    }

    void revokeJudgesTheStatusItself() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(std::optional<SetupClientError>, expected);
        answer(status, body);
        const auto result = run(client().revokeDevice(u"d1"_s));
        QCOMPARE(result ? std::nullopt : std::optional(result.error()), expected);
    }

    void revokeEscapesTheId_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QByteArray>("target");
        QTest::newRow("space and slash") << u"a b/c"_s << "/api/pair/devices/a%20b/c"_ba;
        QTest::newRow("percent") << u"50%"_s << "/api/pair/devices/50%25"_ba;
        QTest::newRow("non-ASCII") << u"é"_s << "/api/pair/devices/%C3%A9"_ba;
        QTest::newRow("query and fragment") << u"x?y#z"_s << "/api/pair/devices/x%3Fy%23z"_ba;
        QTest::newRow("brackets and quotes") << u"[a]\"<>"_s << "/api/pair/devices/%5Ba%5D%22%3C%3E"_ba;
        QTest::newRow("allowed in a path")
            << u"aZ9-._~!$&'()*+,;=:@"_s << "/api/pair/devices/aZ9-._~!$&'()*+,;=:@"_ba;
    }

    void revokeEscapesTheId() {
        QFETCH(QString, id);
        QFETCH(QByteArray, target);
        QVERIFY(run(client().revokeDevice(id)).has_value());
        QCOMPARE(m_server->requests().last().target, target);
    }

    void resolvesPairingCodes_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<std::optional<PairingCode>>("code");

        const PairingCode code{.code = u"482913"_s,
                               .expiresAt = PairingCode::Clock::time_point(1'700'000'000'123ms)};
        QTest::newRow("code and expiry")
            << R"({"code":"482913","expiresAt":1700000000123})"_ba << std::optional(code);
        QTest::newRow("unknown keys")
            << R"({"code":"482913","expiresAt":1700000000123,"x":1})"_ba << std::optional(code);
        QTest::newRow("both null") << R"({"code":null,"expiresAt":null})"_ba << std::optional<PairingCode>();
        QTest::newRow("empty code") << R"({"code":"","expiresAt":1700000000123})"_ba
                                    << std::optional<PairingCode>();
        QTest::newRow("no expiry") << R"({"code":"482913"})"_ba << std::optional<PairingCode>();
        QTest::newRow("nothing") << "{}"_ba << std::optional<PairingCode>();
    }

    void resolvesPairingCodes() {
        QFETCH(QByteArray, body);
        QFETCH(std::optional<PairingCode>, code);
        answer(200, body);
        const auto loaded = run(client().loadPairingCode());
        QVERIFY(loaded.has_value());
        QCOMPARE(*loaded, code);
        answer(200, body);
        const auto created = run(client().createPairingCode());
        QCOMPARE(created, decodedOrUnreadable(code));
    }

    void aPairingCodeOfTheWrongShapeIsUnreadable() {
        answer(200, R"({"code":482913,"expiresAt":1})");
        QCOMPARE(run(client().loadPairingCode()).error(), unreadable);
        answer(200, R"({"code":"482913","expiresAt":"soon"})");
        QCOMPARE(run(client().loadPairingCode()).error(), unreadable);
    }

    void decodesApprovals_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<std::optional<ApprovalSnapshot>>("expected");
        QTest::newRow("every mode known")
            << R"({"claude":"read_only","codex":"danger_full"})"_ba
            << std::optional(ApprovalSnapshot{ClaudeApprovalMode::readOnly, CodexApprovalMode::dangerFull});
        QTest::newRow("Claude's mode for Codex")
            << R"({"claude":"ask","codex":"read_only"})"_ba << std::optional<ApprovalSnapshot>();
        QTest::newRow("case matters")
            << R"({"claude":"Ask","codex":"ask"})"_ba << std::optional<ApprovalSnapshot>();
        QTest::newRow("missing claude") << R"({"codex":"ask"})"_ba << std::optional<ApprovalSnapshot>();
    }

    void decodesApprovals() {
        QFETCH(QByteArray, body);
        QFETCH(std::optional<ApprovalSnapshot>, expected);
        answer(200, body);
        const auto result = run(client().setApproval(CodexApprovalMode::justRun));
        QCOMPARE(result, decodedOrUnreadable(expected));
    }

    void checksTheShapeOfEveryOtherReply_data() {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("readable");

        const Operation saveKey = [](const SetupClient& c) {
            return failureOf(c.saveClaudeKey(u"sk-ant-x"_s));
        };
        QTest::newRow("ok false still succeeds") << saveKey << R"({"ok":false})"_ba << true;
        QTest::newRow("ok missing") << saveKey << "{}"_ba << false;
        QTest::newRow("ok as text") << saveKey << R"({"ok":"yes"})"_ba << false;
        const Operation agents = [](const SetupClient& c) { return failureOf(c.loadAgents()); };
        QTest::newRow("agents without codex")
            << agents << R"({"agents":{"claude":{"authenticated":true}}})"_ba << false;
        QTest::newRow("agents not an object") << agents << R"({"agents":[]})"_ba << false;
        const Operation devices = [](const SetupClient& c) { return failureOf(c.listPairedDevices()); };
        QTest::newRow("a device without a name") << devices << R"({"devices":[{"id":"a"}]})"_ba << false;
        QTest::newRow("devices not a list") << devices << R"({"devices":{}})"_ba << false;
        const Operation login = [](const SetupClient& c) { return failureOf(c.startCodexLogin()); };
        QTest::newRow("challenge without a code")
            << login << R"({"loginId":"l","verificationUrl":"u"})"_ba << false;
        const Operation folder = [](const SetupClient& c) {
            return failureOf(c.chooseProjectFolder(u"/p"_s));
        };
        QTest::newRow("bookmarks not text")
            << folder << R"({"ok":true,"cwd":"/p","bookmarks":[1]})"_ba << false;
        const Operation previews = [](const SetupClient& c) { return failureOf(c.loadPreviews()); };
        QTest::newRow("enabled as text") << previews << R"({"enabled":"true"})"_ba << false;
        const Operation issue = [](const SetupClient& c) { return failureOf(c.issueDevice(u"Glasses"_s)); };
        QTest::newRow("key without an id") << issue << R"({"token":"t"})"_ba << false;
    }

    void checksTheShapeOfEveryOtherReply() {
        QFETCH(Operation, operation);
        QFETCH(QByteArray, body);
        QFETCH(bool, readable);
        answer(200, body);
        QCOMPARE(QCoro::waitFor(operation(client())), readable ? std::nullopt : std::optional(unreadable));
    }

    void decodesTheOtherRecords() {
        answer(200, R"({"devices":[{"id":"p1","name":"Pixel","lastSeenAt":"2026-12-01T10:00:00Z"},)"
                    R"({"id":"g1","name":"Glasses","lastSeenAt":null}]})");
        QCOMPARE(run(client().listPairedDevices()),
                 (QList<PairedDevice>{{u"p1"_s, u"Pixel"_s, u"2026-12-01T10:00:00Z"_s},
                                      {u"g1"_s, u"Glasses"_s, {}}}));

        answer(200, R"({"agents":{"claude":{"authenticated":true,"method":"api-key","email":"a@b.c"},)"
                    R"("codex":{"authenticated":false,"plan":null}}})");
        QCOMPARE(run(client().loadAgents()), (AgentsSnapshot{.claude = {true, u"api-key"_s, u"a@b.c"_s, {}},
                                                             .codex = {false, {}, {}, {}}}));

        answer(200, R"({"enabled":false})");
        QCOMPARE(run(client().setPreviews(true)), false); // the server's answer, not the request

        answer(200, R"({"token":"tok","deviceId":"g1"})");
        QCOMPARE(run(client().issueDevice(u"Glasses"_s)), (IssuedDeviceKey{u"tok"_s, u"g1"_s}));

        answer(
            200,
            "{\"loginId\":\"l\",\"verificationUrl\":\"https://example.com/device\",\"userCode\":\"AB-12\"}");
        QCOMPARE(run(client().startCodexLogin()),
                 (CodexLoginChallenge{u"l"_s, u"https://example.com/device"_s, u"AB-12"_s}));

        answer(200, R"({"ok":true,"cwd":"/home/me/code","bookmarks":["api","web"]})");
        QCOMPARE(run(client().chooseProjectFolder(u"/home/me/code"_s)),
                 (ProjectFolderOutcome{true, u"/home/me/code"_s, {u"api"_s, u"web"_s}}));
    }

    void operationsMayRunSideBySide() {
        const SetupClient shared = client();
        for (int i = 0; i < 3; ++i)
            answer(200, minimalSetup);
        auto first = shared.load();
        auto second = shared.load();
        auto third = shared.loadPreviews(); // answered by a copy of the setup reply: not readable as previews
        QVERIFY(QCoro::waitFor(std::move(first)).has_value());
        QVERIFY(QCoro::waitFor(std::move(second)).has_value());
        QCOMPARE(QCoro::waitFor(std::move(third)).error(), unreadable);
        QCOMPARE(m_server->requests().size(), 3);
    }
};

// Rules carried by the records themselves.
class TestSetupRecords : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void countsDownAPairingCode_data() {
        QTest::addColumn<double>("secondsLeft");
        QTest::addColumn<qint64>("remaining");
        QTest::addColumn<QString>("countdown");
        QTest::newRow("two minutes and five") << 125.0 << qint64(125) << u"2:05"_s;
        QTest::newRow("under a minute") << 59.0 << qint64(59) << u"0:59"_s;
        QTest::newRow("a fraction is dropped") << 90.4 << qint64(90) << u"1:30"_s;
        QTest::newRow("less than a second") << 0.9 << qint64(0) << u"0:00"_s;
        QTest::newRow("an hour is not capped") << 3600.0 << qint64(3600) << u"60:00"_s;
        QTest::newRow("expired") << -5.5 << qint64(0) << u"0:00"_s;
    }

    void countsDownAPairingCode() {
        QFETCH(double, secondsLeft);
        QFETCH(qint64, remaining);
        QFETCH(QString, countdown);
        const auto expiresAt = PairingCode::Clock::time_point(1'700'000'000'000ms);
        const PairingCode code{u"1"_s, expiresAt};
        const auto now = expiresAt - std::chrono::round<PairingCode::Clock::duration>(
                                         std::chrono::duration<double>(secondsLeft));
        QCOMPARE(code.secondsRemaining(now), remaining);
        QCOMPARE(code.countdown(now), countdown);
    }

    void aWildExpiryIsLongPastOrFarOffNotAnOverflow() {
        const auto now = PairingCode::Clock::now();
        const auto farOff = PairingCodeReply{u"1"_s, 1e300}.resolved();
        QVERIFY(farOff && farOff->secondsRemaining(now) > qint64(100) * 365 * 24 * 3600);
        const auto longPast = PairingCodeReply{u"1"_s, -1e300}.resolved();
        QVERIFY(longPast);
        QCOMPARE(longPast->secondsRemaining(now), 0);
        QCOMPARE(longPast->countdown(now), u"0:00"_s);
    }

    void namesTheGlassesExactly_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("glasses");
        QTest::newRow("Glasses") << u"Glasses"_s << true;
        QTest::newRow("lower case") << u"glasses"_s << false;
        QTest::newRow("trailing space") << u"Glasses "_s << false;
        QTest::newRow("longer name") << u"My Glasses"_s << false;
        QTest::newRow("a phone") << u"Pixel"_s << false;
    }

    void namesTheGlassesExactly() {
        QFETCH(QString, name);
        QFETCH(bool, glasses);
        QCOMPARE((PairedDevice{u"id"_s, name, {}}.isGlasses()), glasses);
    }

    void tellsWhetherAnyAgentIsSignedIn() {
        for (const bool claude : {false, true})
            for (const bool codex : {false, true})
                QCOMPARE(
                    (AgentsSnapshot{.claude = {.authenticated = claude}, .codex = {.authenticated = codex}}
                         .anySignedIn()),
                    claude || codex);
    }

    void givesEachVoiceStateItsTone_data() {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<VoiceStatus::State>("state");
        QTest::addColumn<VoiceStatus::Tone>("tone");
        using S = VoiceStatus::State;
        using T = VoiceStatus::Tone;
        QTest::newRow("off") << u"off"_s << S::off << T::quiet;
        QTest::newRow("downloading") << u"downloading"_s << S::downloading << T::working;
        QTest::newRow("preparing") << u"preparing"_s << S::preparing << T::working;
        QTest::newRow("ready") << u"ready"_s << S::ready << T::good;
        QTest::newRow("failed") << u"failed"_s << S::failed << T::problem;
        QTest::newRow("unknown") << u"unknown"_s << S::unknown << T::quiet;
        QTest::newRow("anything else") << u"Ready"_s << S::unknown << T::quiet;
    }

    void givesEachVoiceStateItsTone() {
        QFETCH(QString, raw);
        QFETCH(VoiceStatus::State, state);
        QFETCH(VoiceStatus::Tone, tone);
        QCOMPARE(VoiceStatus::stateFromRaw(raw), state);
        QCOMPARE(VoiceStatus::toneOf(state), tone);
    }

    void putsEveryFailureIntoWords() {
        QCOMPARE(refused(u"Disk full"_s).message(), u"Disk full"_s);
        QCOMPARE(SetupClientError(SetupClientError::Unreachable{u"Connection refused"_s}).message(),
                 u"Kestrin could not reach the server on this computer."_s);
        QCOMPARE(unreadable.message(), u"Kestrin got an answer it could not read."_s);
    }

    void approvalModesRoundTripTheirRawValues() {
        for (const auto mode : ClaudeApprovalModes::allCases)
            QCOMPARE(ClaudeApprovalModes::fromRaw(ClaudeApprovalModes::toRaw(mode)), mode);
        for (const auto mode : CodexApprovalModes::allCases)
            QCOMPARE(CodexApprovalModes::fromRaw(CodexApprovalModes::toRaw(mode)), mode);
        QCOMPARE(CodexApprovalModes::fromRaw(u"read_only"_s), std::nullopt);
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TestSetupClient client;
    TestSetupRecords records;
    return QTest::qExec(&client, argc, argv) | QTest::qExec(&records, argc, argv);
}

#include "tst_SetupClient.moc"
