#pragma once

// The welcome's model over a scripted setup API, fake developer tools and folder answers, a clock the
// test sets and a poll the test ticks.

#include "ServerViewModelFixture.h"

#include <corvane/welcome/FolderAccess.h>

#include <corvane/WelcomeViewModel.h>

using namespace corvane;

// A plain string: moc reads "//" inside a raw string as the start of a comment.
inline const QByteArray challengeReply =
    "{\"loginId\":\"L1\",\"verificationUrl\":\"https://auth.example/device\",\"userCode\":\"ABCD-EFGH\"}";

// The setup API by "METHOD path": a status and a body each, requests counted and their bodies kept.
class ScriptedSetup final : public HTTPTransport {
public:
    QMap<QString, std::pair<int, QByteArray>> replies{
        {u"GET /api/setup"_s, {200, R"({"port":9111,"addresses":[],"lanEnabled":false})"}},
        {u"GET /api/setup/agents"_s, {200, agents(false, false)}},
        {u"GET /api/pair/devices"_s, {200, R"({"devices":[]})"}},
        {u"GET /api/pair/code"_s, {200, R"({"code":"111111","expiresAt":1800000299000})"}},
        {u"POST /api/pair/code"_s, {200, R"({"code":"222222","expiresAt":1800000299000})"}},
        {u"POST /api/setup/agents/codex/login"_s, {200, challengeReply}},
        {u"POST /api/setup/agents/codex/login/cancel"_s, {200, R"({"ok":true})"}},
        {u"POST /api/setup/agents/claude/key"_s, {200, R"({"ok":true})"}},
        {u"POST /api/setup/agents/codex/key"_s, {200, R"({"ok":true})"}},
        {u"POST /api/setup/project-folder"_s, {200, R"({"ok":true,"cwd":"/home/me/src","bookmarks":[]})"}},
    };
    bool down = false;                 // every request fails as if nothing listened
    std::optional<OneShot<bool>> gate; // holds every answer until set
    QMap<QString, int> counts;
    QList<QByteArray> bodies;

    static QByteArray agents(bool claude, bool codex) {
        return QStringLiteral(R"({"agents":{"claude":{"authenticated":%1},"codex":{"authenticated":%2}}})")
            .arg(claude ? u"true"_s : u"false"_s, codex ? u"true"_s : u"false"_s)
            .toUtf8();
    }
    void setProjectsConfigured(bool configured) {
        replies[u"GET /api/setup"_s].second =
            QByteArray(R"({"port":9111,"addresses":[],"lanEnabled":false,"projectsConfigured":)") +
            (configured ? "true" : "false") + '}';
    }

    QCoro::Task<std::expected<HTTPReply, QString>> send(HTTPRequest request) override {
        const QString key = QString::fromLatin1(request.method) + u' ' + request.url.path();
        ++counts[key];
        bodies.append(request.body.value_or(QByteArray()));
        if (gate) {
            const OneShot<bool> held = *gate;
            co_await held;
        }
        if (down)
            co_return std::unexpected(u"Connection refused"_s);
        const auto reply = replies.value(key, {404, R"({"error":"No such route."})"});
        co_return HTTPReply{reply.first, reply.second};
    }
};

class FakeTools final : public DeveloperToolsService {
public:
    DeveloperToolsStatus status = DeveloperToolsStatus::missing;
    DeveloperToolsInstaller installsWith = DeveloperToolsInstaller::packageKit;
    bool running = false;
    int checks = 0;
    int installs = 0;
    QCoro::Task<DeveloperToolsStatus> check() override {
        ++checks;
        co_return status;
    }
    QCoro::Task<> install() override {
        ++installs;
        co_return;
    }
    bool installerRunning() const override { return running; }
    DeveloperToolsInstaller installer() const override { return installsWith; }
};

class FakeFolders final : public FolderAccessService {
public:
    QMap<ProtectedFolder, FolderAccessAnswer> answers{
        {ProtectedFolder::desktop, FolderAccessAnswer::allowed},
        {ProtectedFolder::documents, FolderAccessAnswer::denied},
        {ProtectedFolder::downloads, FolderAccessAnswer::absent}};
    QList<ProtectedFolder> asked;
    std::optional<OneShot<bool>> gate; // holds every answer until set
    QCoro::Task<FolderAccessAnswer> ask(ProtectedFolder folder) override {
        asked.append(folder);
        if (gate) {
            const OneShot<bool> held = *gate;
            co_await held;
        }
        co_return answers.value(folder);
    }
};

// The poll's pause, until the test ticks.
inline QCoro::Task<> pauseUntilTick(QList<OneShot<bool>>* pauses) {
    const OneShot<bool> pause;
    pauses->append(pause);
    co_await pause;
}

struct Welcome {
    std::shared_ptr<ScriptedSetup> server = std::make_shared<ScriptedSetup>();
    std::shared_ptr<FakeTools> tools = std::make_shared<FakeTools>();
    std::shared_ptr<FakeFolders> folders = std::make_shared<FakeFolders>();
    std::shared_ptr<MemoryDefaults> defaults = std::make_shared<MemoryDefaults>();
    WelcomeViewModel::Clock::time_point now = WelcomeViewModel::Clock::time_point(1'800'000'000s);
    QList<OneShot<bool>> pauses; // the poll's pending pauses
    std::optional<QString> chosenFolder;
    bool serverRunning = true;
    std::unique_ptr<WelcomeViewModel> model;

    void make() {
        model = std::make_unique<WelcomeViewModel>(WelcomeViewModel::Dependencies{
            .defaults = defaults,
            .localAdmin = LocalAdminSecret::fromHex(u"ab"_s.repeated(32)),
            .transport = [this] { return server; },
            .environment =
                [] {
                    return Environment{{u"CORVANE_PORT"_s, u"9111"_s}};
                },
            .developerTools = tools,
            .folderAccess = folders,
            .clock = [this] { return now; },
            .pause = [this] { return pauseUntilTick(&pauses); },
            .serverRunning = [this] { return serverRunning; },
            .chooseFolder = [this] { return chosenFolder; },
        });
    }
    ~Welcome() {
        model.reset();
        tick(); // a stopped poll ends once its pause does
    }
    // Ends the poll's pause and lets the next cycle run.
    void tick() {
        for (OneShot<bool> pause : std::exchange(pauses, {}))
            pause.set(true);
        settle();
    }
    // Runs `action` with the server's answers held, and says whether the model was busy meanwhile.
    bool busyWhile(const std::function<void()>& action) {
        server->gate = OneShot<bool>();
        action();
        settle();
        const bool wasBusy = model->busy();
        server->gate->set(true);
        server->gate.reset();
        settle();
        return wasBusy;
    }
    // Everything settled but the phone: tools there, a folder with its answers, an agent.
    void setUpAllButThePhone() {
        tools->status = DeveloperToolsStatus::ready;
        server->setProjectsConfigured(true);
        server->replies[u"GET /api/setup/agents"_s].second = ScriptedSetup::agents(true, false);
        defaults->values.insert(FolderAccess::declinedKey.toString(), true);
    }
};
