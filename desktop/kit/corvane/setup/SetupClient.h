#pragma once

#include <corvane/setup/AgentsSnapshot.h>
#include <corvane/setup/ApprovalSnapshot.h>
#include <corvane/setup/CodexLoginChallenge.h>
#include <corvane/setup/HTTPTransport.h>
#include <corvane/setup/PairedDevice.h>
#include <corvane/setup/PairingCode.h>
#include <corvane/setup/ProjectFolderOutcome.h>
#include <corvane/setup/SetupClientError.h>
#include <corvane/setup/SetupInfo.h>
#include <corvane/supervision/LocalAdminSecret.h>

#include <QJsonObject>
#include <QList>
#include <qcorotask.h>

#include <chrono>
#include <expected>
#include <memory>
#include <optional>

namespace corvane {

// The desktop application's way to the local server's setup API: always 127.0.0.1 on the server's
// port, with the admin secret on every request when there is one. A plain value: copies share the
// transport, operations may run side by side, and each keeps what it needs alive until it ends.
class SetupClient {
public:
    template <typename T>
    using Result = QCoro::Task<std::expected<T, SetupClientError>>;

    static constexpr std::chrono::milliseconds defaultExchangeLimit{5000};
    // A reply body larger than this is not read.
    static constexpr qsizetype maxReplyBytes = 1 << 20;

    SetupClient(std::shared_ptr<HTTPTransport> transport, int port,
                std::optional<LocalAdminSecret> localAdmin,
                std::chrono::milliseconds exchangeLimit = defaultExchangeLimit);

    const std::shared_ptr<HTTPTransport>& transport() const { return m_transport; }
    int port() const { return m_port; }
    const std::optional<LocalAdminSecret>& localAdmin() const { return m_localAdmin; }

    Result<ApprovalSnapshot> loadApproval() const;
    Result<ApprovalSnapshot> setApproval(ClaudeApprovalMode claude) const;
    Result<ApprovalSnapshot> setApproval(CodexApprovalMode codex) const;
    Result<SetupInfo> load() const;
    Result<IssuedDeviceKey> issueDevice(const QString& name) const;
    Result<QList<PairedDevice>> listPairedDevices() const;
    // A device the server no longer knows counts as revoked.
    Result<void> revokeDevice(const QString& id) const;
    Result<bool> loadPreviews() const;
    // The server's answer, which need not be what was asked for.
    Result<bool> setPreviews(bool enabled) const;
    // Nothing when the server has no live code.
    Result<std::optional<PairingCode>> loadPairingCode() const;
    Result<PairingCode> createPairingCode() const;
    Result<AgentsSnapshot> loadAgents() const;
    Result<CodexLoginChallenge> startCodexLogin() const;
    Result<void> cancelCodexLogin(const QString& loginId) const;
    Result<void> saveClaudeKey(const QString& key) const;
    Result<void> removeClaudeKey() const;
    Result<void> saveCodexKey(const QString& key) const;
    Result<ProjectFolderOutcome> chooseProjectFolder(const QString& path) const;

private:
    using Request = std::expected<HTTPRequest, SetupClientError>;

    Request makeRequest(const QString& path, const QByteArray& method,
                        std::optional<QJsonObject> body = std::nullopt) const;

    std::shared_ptr<HTTPTransport> m_transport;
    int m_port = 0;
    std::optional<LocalAdminSecret> m_localAdmin;
    std::chrono::milliseconds m_exchangeLimit;
};

} // namespace corvane
