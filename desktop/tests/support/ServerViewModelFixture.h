#pragma once

// A server view model over fakes: a login shell the test can hold back, a fake launcher and port probe
// under a real supervisor, a setup server that counts requests, and a refresh clock the test moves one
// second at a time.

#include "FakeProcesses.h"
#include "FakeServices.h"
#include "TestSupport.h"

#include <corvane/support/OneShot.h>

#include <corvane/ServerViewModel.h>
#include <corvane/UpdatesModel.h>

#include <QCoreApplication>
#include <QSet>
#include <QTest>
#include <qcorotask.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

inline const QByteArray setupDownloading =
    R"({"port":9111,"hostname":"studio.local","addresses":["192.168.1.5"],"lanEnabled":true,"keepAwake":true,)"
    R"("voice":{"state":"downloading","message":"Downloading the voice model","loadedMB":10,"totalMB":100}})";
inline const QByteArray setupReady =
    R"({"port":9111,"addresses":[],"lanEnabled":false,"voice":{"state":"ready","message":"Voice is ready"}})";

// The setup API: counts every request by method and path, answers from its script, and can hold the
// answers back until the test lets them go.
class CountingServer final : public HTTPTransport {
public:
    QMap<QString, int> counts;
    QByteArray setup = setupReady;
    QByteArray code = R"({"code":"111111","expiresAt":4102444800000})";
    QByteArray created = R"({"code":"222222","expiresAt":4102444800000})";
    QSet<QString> failing; // these answer as if the server were gone
    std::optional<OneShot<bool>> gate;

    QCoro::Task<std::expected<HTTPReply, QString>> send(HTTPRequest request) override {
        const QString key = QString::fromLatin1(request.method) + u' ' + request.url.path();
        ++counts[key];
        if (gate) {
            const OneShot<bool> held = *gate;
            co_await held;
        }
        if (failing.contains(key))
            co_return std::unexpected(u"Connection refused"_s);
        if (key == u"GET /api/setup"_s)
            co_return HTTPReply{200, setup};
        if (key == u"GET /api/pair/code"_s)
            co_return HTTPReply{200, code};
        if (key == u"POST /api/pair/code"_s)
            co_return HTTPReply{200, created};
        co_return HTTPReply{404, {}};
    }
    int total() const {
        int sum = 0;
        for (const int count : counts)
            sum += count;
        return sum;
    }
};

// A login shell that answers nothing useful, when the test lets it.
class HeldShell final : public CommandRunner {
public:
    std::optional<OneShot<bool>> gate;
    int runs = 0;
    QCoro::Task<std::optional<QString>> run(QString, QStringList, std::chrono::milliseconds,
                                            std::optional<QString>) override {
        ++runs;
        if (gate) {
            const OneShot<bool> held = *gate;
            co_await held;
        }
        co_return std::nullopt;
    }
    void cancelRuns() override {
        ++cancels;
        if (gate)
            gate->set(true);
    }
    int cancels = 0;
};

class MemoryDefaults final : public Defaults {
public:
    QVariantMap values;
    int writes = 0;
    std::optional<QString> string(const QString& key) const override {
        return values.contains(key) ? std::optional(values.value(key).toString()) : std::nullopt;
    }
    void setString(const QString& key, const QString& value) override { setValue(key, value); }
    QVariant value(const QString& key) const override { return values.value(key); }
    void setValue(const QString& key, const QVariant& value) override {
        ++writes;
        values.insert(key, value);
    }
};

inline void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// One model over fakes. The checkout at /repo runs its server with /usr/bin/node unless `nodeMissing`.
struct Fixture {
    std::shared_ptr<FakeProbe> probe = std::make_shared<FakeProbe>();
    std::shared_ptr<FakeLauncher> launcher = std::make_shared<FakeLauncher>();
    std::shared_ptr<CountingServer> server = std::make_shared<CountingServer>();
    std::shared_ptr<HeldShell> shell = std::make_shared<HeldShell>();
    std::shared_ptr<MemoryDefaults> defaults = std::make_shared<MemoryDefaults>();
    std::shared_ptr<ScriptedLoginItems> loginItems = std::make_shared<ScriptedLoginItems>();
    std::shared_ptr<CountingAssertions> assertions = std::make_shared<CountingAssertions>();
    Environment environment{{u"CORVANE_REPO_ROOT"_s, u"/repo"_s}, {u"HOME"_s, u"/home/me"_s}};
    bool nodeMissing = false;
    bool realClock = false; // the model's own one-second timer instead of the test's ticks
    PairingCode::Clock::time_point now = PairingCode::Clock::time_point(1'800'000'000s);
    QList<OneShot<bool>> ticks; // the clock's waits, oldest first
    std::unique_ptr<ServerViewModel> model;
    // The updates model of a copy that does not update itself: its key shows the version, disabled.
    UpdatesModel updates{InfoDictionary{{u"CFBundleShortVersionString"_s, u"0.4.2"_s}}};

    void make() {
        ServerViewModel::Dependencies dependencies{
            .defaults = defaults,
            .localAdmin = LocalAdminSecret::fromHex(u"ab"_s.repeated(32)),
            .supervisor = std::make_unique<ServerSupervisor>(probe, launcher, CrashRestarts::standard(),
                                                             []() -> QCoro::Task<> { co_return; }),
            .shellRunner = shell,
            .loginItems = loginItems,
            .sleepAssertions = assertions,
            .transport = [this] { return server; },
            .environment = [this] { return environment; },
            .planSources =
                {
                    .bundlePath = u"/opt/Kestrin"_s,
                    .home = u"/home/me"_s,
                    .fileExists =
                        [](const QString& path) { return path == u"/repo/apps/server/dist/index.js"_s; },
                    .directoryExists = [](const QString& path) { return path == u"/repo"_s; },
                    .isExecutable =
                        [this](const QString& path) { return !nodeMissing && path == u"/usr/bin/node"_s; },
                },
            .clock = [this] { return now; },
        };
        if (!realClock)
            dependencies.tick = [this]() -> QCoro::Task<> {
                ticks.append(OneShot<bool>());
                const OneShot<bool> tick = ticks.last();
                co_await tick;
            };
        model = std::make_unique<ServerViewModel>(std::move(dependencies));
    }

    // Starts the server and lets its first reads finish.
    void startRunning() {
        if (!model)
            make();
        model->start();
        settle();
        QVERIFY2(model->state().isRunning(), qPrintable(debugText(model->state())));
    }

    // Moves the clock on by whole seconds, letting each tick's reads finish.
    void advance(int seconds) {
        for (int i = 0; i < seconds; ++i) {
            QVERIFY2(!ticks.isEmpty(), "the clock is not waiting for a tick");
            now += 1s;
            ticks.takeFirst().set(true);
            settle();
        }
    }

    int count(const QString& key) const { return server->counts.value(key); }

    // Lets every waiting coroutine run to its end, so none outlives the test.
    ~Fixture() {
        model.reset();
        for (auto* gate : {&shell->gate, &server->gate})
            if (*gate)
                (*gate)->set(true);
        for (OneShot<bool>& tick : ticks)
            tick.set(true);
        settle();
    }
};

} // namespace corvane
