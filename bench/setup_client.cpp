// Measures the setup client against the reference server: 1,000 sequential load() calls, their
// latency, and what the client itself adds to each exchange (building the request, judging and
// decoding the reply) beyond the time spent inside the transport.
#include "support/ReferenceServer.h"

#include <corvane/setup/SetupClient.h>

#include <corvane/SocketHTTPTransport.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <qcorotask.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

using namespace corvane;

namespace {

// Passes every exchange on and adds up the time spent inside it.
class TimedTransport final : public HTTPTransport {
public:
    explicit TimedTransport(std::shared_ptr<HTTPTransport> inner)
        : m_inner(std::move(inner)) {}
    QCoro::Task<std::expected<HTTPReply, QString>> send(HTTPRequest request) override {
        QElapsedTimer clock;
        clock.start();
        auto reply = co_await m_inner->send(std::move(request));
        lastNanos = clock.nsecsElapsed();
        co_return reply;
    }
    qint64 lastNanos = 0;

private:
    std::shared_ptr<HTTPTransport> m_inner;
};

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1,
                           static_cast<std::size_t>(p * static_cast<double>(values.size())))];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const LocalAdminSecret secret = *LocalAdminSecret::mint();
    ReferenceServer server(secret);
    if (!server.error().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.error()));
        return 1;
    }
    const auto transport = std::make_shared<TimedTransport>(std::make_shared<SocketHTTPTransport>());
    const SetupClient client(transport, server.port(), secret);

    constexpr int warmUp = 50;
    constexpr int calls = 1000;
    std::vector<double> totalMs;
    std::vector<double> ownMs;
    for (int i = 0; i < warmUp + calls; ++i) {
        QElapsedTimer clock;
        clock.start();
        const auto result = QCoro::waitFor(client.load());
        const qint64 total = clock.nsecsElapsed();
        if (!result) {
            std::fprintf(stderr, "load() failed: %s\n", qPrintable(result.error().message()));
            return 1;
        }
        if (i >= warmUp) {
            totalMs.push_back(static_cast<double>(total) / 1e6);
            ownMs.push_back(static_cast<double>(total - transport->lastNanos) / 1e6);
        }
    }
    const auto mean = [](const std::vector<double>& v) {
        return std::accumulate(v.begin(), v.end(), 0.0) / v.size();
    };
    std::printf("setup client, %d sequential load() calls against the reference server\n", calls);
    std::printf("  latency: mean %.3f ms, p50 %.3f ms, p99 %.3f ms\n", mean(totalMs),
                percentile(totalMs, 0.5), percentile(totalMs, 0.99));
    std::printf("  client's own cost beyond the exchange: mean %.4f ms, p99 %.4f ms\n", mean(ownMs),
                percentile(ownMs, 0.99));
    return 0;
}
