// Feeds the setup client replies it never expected. The first byte picks the operation, the next two
// the HTTP status, the rest is the body; every answer, read or refused, is turned into what the menu
// would show, so that the whole way from bytes to words runs.
#include <corvane/setup/SetupClient.h>
#include <corvane/status/DialInstructions.h>

#include <QCoreApplication>
#include <qcorotask.h>

#include <cstddef>
#include <cstdint>

using namespace corvane;

namespace {

class ScriptedTransport final : public HTTPTransport {
public:
    HTTPReply reply;
    QCoro::Task<std::expected<HTTPReply, QString>> send(HTTPRequest) override { co_return reply; }
};

template <typename T>
void consume(const std::expected<T, SetupClientError>& result) {
    if (!result)
        (void)result.error().message();
}

void consume(const std::expected<SetupInfo, SetupClientError>& result) {
    if (result)
        (void)DialInstructions::from(*result);
    else
        (void)result.error().message();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const auto transport = std::make_shared<ScriptedTransport>();
    transport->reply.status = data[1] | (data[2] << 8);
    transport->reply.body =
        QByteArray(reinterpret_cast<const char*>(data + 3), static_cast<qsizetype>(size - 3));
    const SetupClient client(transport, 9111, std::nullopt);
    switch (data[0] % 17) {
    case 0:
        consume(QCoro::waitFor(client.load()));
        break;
    case 1:
        consume(QCoro::waitFor(client.loadPairingCode()));
        break;
    case 2:
        consume(QCoro::waitFor(client.createPairingCode()));
        break;
    case 3:
        consume(QCoro::waitFor(client.loadApproval()));
        break;
    case 4:
        consume(QCoro::waitFor(client.setApproval(ClaudeApprovalMode::ask)));
        break;
    case 5:
        consume(QCoro::waitFor(client.issueDevice(QStringLiteral("Glasses"))));
        break;
    case 6:
        consume(QCoro::waitFor(client.listPairedDevices()));
        break;
    case 7:
        consume(QCoro::waitFor(client.revokeDevice(QStringLiteral("a/b c"))));
        break;
    case 8:
        consume(QCoro::waitFor(client.loadPreviews()));
        break;
    case 9:
        consume(QCoro::waitFor(client.setPreviews(true)));
        break;
    case 10:
        consume(QCoro::waitFor(client.loadAgents()));
        break;
    case 11:
        consume(QCoro::waitFor(client.startCodexLogin()));
        break;
    case 12:
        consume(QCoro::waitFor(client.cancelCodexLogin(QStringLiteral("login"))));
        break;
    case 13:
        consume(QCoro::waitFor(client.saveClaudeKey(QStringLiteral("sk-ant-key"))));
        break;
    case 14:
        consume(QCoro::waitFor(client.removeClaudeKey()));
        break;
    case 15:
        consume(QCoro::waitFor(client.saveCodexKey(QStringLiteral("sk-key"))));
        break;
    default:
        consume(QCoro::waitFor(client.chooseProjectFolder(QStringLiteral("/home/me/Projects"))));
        break;
    }
    return 0;
}
