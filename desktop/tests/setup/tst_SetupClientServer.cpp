// Every setup operation end to end against the reference server, started as the application starts
// it: a free port, a temporary HOME and the admin secret on its standard input.

#include "support/ReferenceServer.h"
#include "support/TestSupport.h"

#include <corvane/setup/SetupClient.h>

#include <corvane/SocketHTTPTransport.h>

#include <QDir>
#include <QRegularExpression>
#include <QTest>
#include <qcorotask.h>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

template <typename T>
std::expected<T, SetupClientError> run(QCoro::Task<std::expected<T, SetupClientError>> task) {
    return QCoro::waitFor(std::move(task));
}

template <typename T>
QString describe(const std::expected<T, SetupClientError>& result) {
    return result ? u"success"_s : debugText(result.error());
}

} // namespace

// Succeeds, or fails the test with the client's error.
#define SUCCEEDS(expression)                                                                                 \
    [&] {                                                                                                    \
        auto result_ = run(expression);                                                                      \
        if (!result_)                                                                                        \
            qFatal("%s failed: %s", #expression, qPrintable(describe(result_)));                             \
        return *std::move(result_);                                                                          \
    }()

class TestSetupClientServer : public QObject {
    Q_OBJECT

    const LocalAdminSecret m_secret = *LocalAdminSecret::mint();
    std::unique_ptr<ReferenceServer> m_server;

    SetupClient client(std::optional<LocalAdminSecret> secret) const {
        return SetupClient(std::make_shared<SocketHTTPTransport>(), m_server->port(), std::move(secret));
    }
    SetupClient client() const { return client(m_secret); }

private Q_SLOTS:
    void init() {
        m_server = std::make_unique<ReferenceServer>(m_secret);
        QVERIFY2(m_server->error().isEmpty(), qPrintable(m_server->error()));
    }
    void cleanup() { m_server.reset(); }

    void readsTheSetup() {
        const SetupInfo info = SUCCEEDS(client().load());
        QCOMPARE(info.port, m_server->port());
        QCOMPARE(info.addresses, QStringList{u"127.0.0.1"_s});
        QCOMPARE(info.lanEnabled, false);
        QVERIFY(info.voice.has_value());
    }

    void onlyTheSecretOpensTheSetupApi() {
        const QString needsKey = u"This request needs Kestrin’s admin key."_s;
        QCOMPARE(run(client(std::nullopt).load()).error(),
                 SetupClientError(SetupClientError::Refused{needsKey}));
        QCOMPARE(run(client(*LocalAdminSecret::mint()).listPairedDevices()).error(),
                 SetupClientError(SetupClientError::Refused{needsKey}));
    }

    void changesApprovalModes() {
        const ApprovalSnapshot before = SUCCEEDS(client().loadApproval());
        QCOMPARE(before, (ApprovalSnapshot{ClaudeApprovalMode::ask, CodexApprovalMode::ask}));
        QCOMPARE(SUCCEEDS(client().setApproval(ClaudeApprovalMode::justRun)),
                 (ApprovalSnapshot{ClaudeApprovalMode::justRun, CodexApprovalMode::ask}));
        QCOMPARE(SUCCEEDS(client().setApproval(CodexApprovalMode::dangerFull)),
                 (ApprovalSnapshot{ClaudeApprovalMode::justRun, CodexApprovalMode::dangerFull}));
        QCOMPARE(SUCCEEDS(client().loadApproval()),
                 (ApprovalSnapshot{ClaudeApprovalMode::justRun, CodexApprovalMode::dangerFull}));
    }

    void switchesPreviews() {
        QCOMPARE(SUCCEEDS(client().loadPreviews()), false);
        QCOMPARE(SUCCEEDS(client().setPreviews(true)), true);
        QCOMPARE(SUCCEEDS(client().loadPreviews()), true);
    }

    void makesAndReadsAPairingCode() {
        QCOMPARE(SUCCEEDS(client().loadPairingCode()), std::nullopt);
        const PairingCode created = SUCCEEDS(client().createPairingCode());
        QVERIFY2(QRegularExpression(u"^[0-9]{6}$"_s).match(created.code).hasMatch(),
                 qPrintable(created.code));
        const qint64 left = created.secondsRemaining(PairingCode::Clock::now());
        QVERIFY2(left > 290 && left <= 300, qPrintable(QString::number(left)));
        QCOMPARE(SUCCEEDS(client().loadPairingCode()), std::optional(created));
    }

    void issuesListsAndRevokesDevices() {
        const IssuedDeviceKey key = SUCCEEDS(client().issueDevice(u"Glasses"_s));
        QVERIFY(!key.token.isEmpty());
        const QList<PairedDevice> devices = SUCCEEDS(client().listPairedDevices());
        QCOMPARE(devices.size(), 1);
        QCOMPARE(devices[0].id, key.deviceId);
        QVERIFY(devices[0].isGlasses());
        QCOMPARE(devices[0].lastSeenAt, std::nullopt);

        QVERIFY(run(client().revokeDevice(key.deviceId)).has_value());
        QCOMPARE(SUCCEEDS(client().listPairedDevices()), QList<PairedDevice>());
        // The server no longer knows it, which is what revoking wants.
        QVERIFY(run(client().revokeDevice(key.deviceId)).has_value());
        QVERIFY(run(client().revokeDevice(u"no such/device 50%"_s)).has_value());
    }

    void savesAndRemovesAgentKeys() {
        QVERIFY(!SUCCEEDS(client().loadAgents()).anySignedIn());

        QVERIFY(run(client().saveClaudeKey(u"sk-ant-"_s + QString(40, u'a'))).has_value());
        AgentsSnapshot agents = SUCCEEDS(client().loadAgents());
        QVERIFY(agents.claude.authenticated && !agents.codex.authenticated && agents.anySignedIn());

        QVERIFY(run(client().removeClaudeKey()).has_value());
        QVERIFY(!SUCCEEDS(client().loadAgents()).anySignedIn());

        const auto badKey = run(client().saveCodexKey(u"not a key"_s));
        QVERIFY(std::holds_alternative<SetupClientError::Refused>(badKey.error().value()));
        QVERIFY(!badKey.error().message().isEmpty());
        QVERIFY(run(client().saveCodexKey(u"sk-"_s + QString(40, u'b'))).has_value());
        QVERIFY(SUCCEEDS(client().loadAgents()).codex.authenticated);
    }

    void answersTheCodexSignIn() {
        // This server cannot reach ChatGPT, and says so in words the person can read.
        const auto login = run(client().startCodexLogin());
        QVERIFY(std::holds_alternative<SetupClientError::Refused>(login.error().value()));
        QVERIFY(login.error().message().contains(u"ChatGPT"_s));
        QVERIFY(run(client().cancelCodexLogin(u"any"_s)).has_value());
    }

    void choosesAProjectFolder() {
        QTemporaryDir projects;
        for (const QString& name : {u"web"_s, u"api"_s, u".hidden"_s})
            QVERIFY(QDir(projects.path()).mkdir(name));
        const ProjectFolderOutcome outcome = SUCCEEDS(client().chooseProjectFolder(projects.path()));
        QCOMPARE(outcome,
                 (ProjectFolderOutcome{true, QDir(projects.path()).canonicalPath(), {u"api"_s, u"web"_s}}));
        QVERIFY(SUCCEEDS(client().load()).projectsConfigured.value_or(false));

        const auto missing = run(client().chooseProjectFolder(projects.path() + u"/nowhere"_s));
        QCOMPARE(missing.error().message(), u"There is no folder at %1/nowhere."_s.arg(projects.path()));
    }

    void aStoppedServerIsUnreachable() {
        m_server->stop();
        const auto result = run(client().load());
        QCOMPARE(result.error().message(), u"Kestrin could not reach the server on this computer."_s);
    }
};

QTEST_GUILESS_MAIN(TestSetupClientServer)
#include "tst_SetupClientServer.moc"
