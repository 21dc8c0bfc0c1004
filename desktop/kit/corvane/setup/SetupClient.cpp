#include "SetupClient.h"

#include <corvane/setup/JsonFields.h>

#include <QJsonDocument>
#include <QUrl>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

using Request = std::expected<HTTPRequest, SetupClientError>;
using Reply = std::expected<HTTPReply, SetupClientError>;
template <typename T>
using Result = SetupClient::Result<T>;

// 0 and every 1xx, 3xx, 4xx and 5xx status are failures.
bool isSuccess(int status) {
    return static_cast<unsigned>(status) - 200u < 100u;
}

std::optional<QJsonObject> replyObject(const HTTPReply& reply) {
    if (reply.body.size() > SetupClient::maxReplyBytes)
        return std::nullopt;
    return parseJsonObject(reply.body);
}

// The server's own words for a refusal, `{"error": text}`, when it sent any.
std::optional<QString> serverMessage(const HTTPReply& reply) {
    const auto object = replyObject(reply);
    if (!object)
        return std::nullopt;
    const auto error = JsonFields::decode(*object, [](JsonFields& f) { return f.optionalText(u"error"); });
    if (!error || !*error || (*error)->isEmpty())
        return std::nullopt;
    return **error;
}

SetupClientError refusal(const HTTPReply& reply) {
    return SetupClientError::Refused{
        serverMessage(reply).value_or(u"The server refused that (%1)."_s.arg(reply.status))};
}

QCoro::Task<Reply> exchange(std::shared_ptr<HTTPTransport> transport, Request request) {
    if (!request)
        co_return std::unexpected(request.error());
    auto reply = co_await transport->send(*std::move(request));
    if (!reply)
        co_return std::unexpected(SetupClientError::Unreachable{reply.error()});
    co_return *std::move(reply);
}

// One exchange, judged by its status and decoded into the record the operation expects.
template <typename T>
Result<T> read(std::shared_ptr<HTTPTransport> transport, Request request, JsonFields::Decoder<T> decode) {
    const Reply reply = co_await exchange(std::move(transport), std::move(request));
    if (!reply)
        co_return std::unexpected(reply.error());
    if (!isSuccess(reply->status))
        co_return std::unexpected(refusal(*reply));
    const auto object = replyObject(*reply);
    auto record = object ? decode(*object) : std::nullopt;
    if (!record)
        co_return std::unexpected(SetupClientError::Unreadable{});
    co_return *std::move(record);
}

// For operations answered with `{"ok": …}`: the answer only has to be readable, its value is not looked at.
Result<void> acknowledged(std::shared_ptr<HTTPTransport> transport, Request request) {
    const auto decodeOk = [](const QJsonObject& object) {
        return JsonFields::decode(object, [](JsonFields& f) { return f.boolean(u"ok"); });
    };
    const auto result = co_await read<bool>(std::move(transport), std::move(request), decodeOk);
    if (!result)
        co_return std::unexpected(result.error());
    co_return std::expected<void, SetupClientError>();
}

// Revoking judges the status itself: a device the server does not know is as good as revoked.
Result<void> revoke(std::shared_ptr<HTTPTransport> transport, Request request) {
    const Reply reply = co_await exchange(std::move(transport), std::move(request));
    if (!reply)
        co_return std::unexpected(reply.error());
    if (!isSuccess(reply->status) && reply->status != 404)
        co_return std::unexpected(refusal(*reply));
    co_return std::expected<void, SetupClientError>();
}

std::optional<bool> decodeEnabled(const QJsonObject& object) {
    return JsonFields::decode(object, [](JsonFields& f) { return f.boolean(u"enabled"); });
}

// Letters, digits, "-._~!$&'()*+,;=:@" and "/" stay; everything else, "%" included, is percent-encoded
// from UTF-8 with upper-case hex digits.
QString escapedPath(const QString& text) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text, QByteArrayLiteral("!$&'()*+,;=:@/")));
}

} // namespace

SetupClient::SetupClient(std::shared_ptr<HTTPTransport> transport, int port,
                         std::optional<LocalAdminSecret> localAdmin, std::chrono::milliseconds exchangeLimit)
    : m_transport(std::move(transport))
    , m_port(port)
    , m_localAdmin(std::move(localAdmin))
    , m_exchangeLimit(exchangeLimit) {
    Q_ASSERT(m_transport);
}

SetupClient::Request SetupClient::makeRequest(const QString& path, const QByteArray& method,
                                              std::optional<QJsonObject> body) const {
    const QUrl url(u"http://127.0.0.1:"_s + QString::number(m_port) + path, QUrl::StrictMode);
    if (!url.isValid())
        return std::unexpected(
            SetupClientError::Unreachable{u"Could not build an address for port %1."_s.arg(m_port)});
    HTTPRequest request{.url = url, .method = method, .timeout = m_exchangeLimit};
    // The server tells the application's requests from anyone else's by the run's secret.
    if (m_localAdmin)
        request.headers.append({QByteArrayLiteral("X-Corvane-Admin"), m_localAdmin->hex().toLatin1()});
    if (body) {
        request.body = QJsonDocument(*body).toJson(QJsonDocument::Compact);
        request.headers.append({QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/json")});
    }
    return request;
}

Result<ApprovalSnapshot> SetupClient::loadApproval() const {
    return read<ApprovalSnapshot>(m_transport, makeRequest(u"/api/setup/approval"_s, "GET"),
                                  &ApprovalSnapshot::decode);
}

Result<ApprovalSnapshot> SetupClient::setApproval(ClaudeApprovalMode claude) const {
    const QJsonObject body{{u"backend"_s, u"claude"_s}, {u"mode"_s, ClaudeApprovalModes::toRaw(claude)}};
    return read<ApprovalSnapshot>(m_transport, makeRequest(u"/api/setup/approval"_s, "POST", body),
                                  &ApprovalSnapshot::decode);
}

Result<ApprovalSnapshot> SetupClient::setApproval(CodexApprovalMode codex) const {
    const QJsonObject body{{u"backend"_s, u"codex"_s}, {u"mode"_s, CodexApprovalModes::toRaw(codex)}};
    return read<ApprovalSnapshot>(m_transport, makeRequest(u"/api/setup/approval"_s, "POST", body),
                                  &ApprovalSnapshot::decode);
}

Result<SetupInfo> SetupClient::load() const {
    return read<SetupInfo>(m_transport, makeRequest(u"/api/setup"_s, "GET"), &SetupInfo::decode);
}

Result<IssuedDeviceKey> SetupClient::issueDevice(const QString& name) const {
    return read<IssuedDeviceKey>(m_transport,
                                 makeRequest(u"/api/pair/devices"_s, "POST", QJsonObject{{u"name"_s, name}}),
                                 &IssuedDeviceKey::decode);
}

Result<QList<PairedDevice>> SetupClient::listPairedDevices() const {
    return read<QList<PairedDevice>>(m_transport, makeRequest(u"/api/pair/devices"_s, "GET"),
                                     [](const QJsonObject& object) {
                                         return JsonFields::decode(object, [](JsonFields& f) {
                                             return f.records(u"devices", &PairedDevice::decode);
                                         });
                                     });
}

Result<void> SetupClient::revokeDevice(const QString& id) const {
    return revoke(m_transport, makeRequest(u"/api/pair/devices/"_s + escapedPath(id), "DELETE"));
}

Result<bool> SetupClient::loadPreviews() const {
    return read<bool>(m_transport, makeRequest(u"/api/setup/previews"_s, "GET"), &decodeEnabled);
}

Result<bool> SetupClient::setPreviews(bool enabled) const {
    return read<bool>(m_transport,
                      makeRequest(u"/api/setup/previews"_s, "POST", QJsonObject{{u"enabled"_s, enabled}}),
                      &decodeEnabled);
}

Result<std::optional<PairingCode>> SetupClient::loadPairingCode() const {
    return read<std::optional<PairingCode>>(
        m_transport, makeRequest(u"/api/pair/code"_s, "GET"), [](const QJsonObject& object) {
            return PairingCodeReply::decode(object).transform(&PairingCodeReply::resolved);
        });
}

Result<PairingCode> SetupClient::createPairingCode() const {
    // A create must give a code: an answer without one is not understood.
    return read<PairingCode>(m_transport, makeRequest(u"/api/pair/code"_s, "POST"),
                             [](const QJsonObject& object) -> std::optional<PairingCode> {
                                 const auto reply = PairingCodeReply::decode(object);
                                 return reply ? reply->resolved() : std::nullopt;
                             });
}

Result<AgentsSnapshot> SetupClient::loadAgents() const {
    return read<AgentsSnapshot>(m_transport, makeRequest(u"/api/setup/agents"_s, "GET"),
                                [](const QJsonObject& object) {
                                    return JsonFields::decode(object, [](JsonFields& f) {
                                        return f.record(u"agents", &AgentsSnapshot::decode);
                                    });
                                });
}

Result<CodexLoginChallenge> SetupClient::startCodexLogin() const {
    return read<CodexLoginChallenge>(m_transport, makeRequest(u"/api/setup/agents/codex/login"_s, "POST"),
                                     &CodexLoginChallenge::decode);
}

Result<void> SetupClient::cancelCodexLogin(const QString& loginId) const {
    return acknowledged(m_transport, makeRequest(u"/api/setup/agents/codex/login/cancel"_s, "POST",
                                                 QJsonObject{{u"loginId"_s, loginId}}));
}

Result<void> SetupClient::saveClaudeKey(const QString& key) const {
    return acknowledged(
        m_transport, makeRequest(u"/api/setup/agents/claude/key"_s, "POST", QJsonObject{{u"apiKey"_s, key}}));
}

Result<void> SetupClient::removeClaudeKey() const {
    return acknowledged(m_transport, makeRequest(u"/api/setup/agents/claude/key"_s, "DELETE"));
}

Result<void> SetupClient::saveCodexKey(const QString& key) const {
    return acknowledged(
        m_transport, makeRequest(u"/api/setup/agents/codex/key"_s, "POST", QJsonObject{{u"apiKey"_s, key}}));
}

Result<ProjectFolderOutcome> SetupClient::chooseProjectFolder(const QString& path) const {
    return read<ProjectFolderOutcome>(
        m_transport, makeRequest(u"/api/setup/project-folder"_s, "POST", QJsonObject{{u"path"_s, path}}),
        &ProjectFolderOutcome::decode);
}

} // namespace corvane
