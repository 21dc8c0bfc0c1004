// The terminal face over a model on fakes: what it prints, when, and the commands it takes.

#include "support/ApprovalFixture.h"
#include "support/HandLogFollower.h"
#include "support/PreviewsFixture.h"
#include "support/ReferenceServer.h"
#include "support/ScriptedUpdater.h"
#include "support/ServerViewModelFixture.h"
#include "support/TestSupport.h"
#include "support/WelcomeFixture.h"

#include <corvane/agents/ApprovalModeWords.h>
#include <corvane/previews/LivePreviewsWords.h>

#include <corvane/ApprovalViewModel.h>
#include <corvane/SocketHTTPTransport.h>
#include <corvane/PreviewsSwitchViewModel.h>
#include <corvane/ServerLogModel.h>
#include <corvane/UpdatesModel.h>
#include <corvane/terminal/TerminalFace.h>
#include <corvane/terminal/TerminalText.h>

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <cstdio>
#include <unistd.h>

using namespace corvane;

Q_DECLARE_METATYPE(corvane::DeveloperToolsInstaller)

namespace {

// A file the face writes to, read back by the test.
class Capture {
public:
    Capture()
        : m_file(std::tmpfile()) {}
    ~Capture() { std::fclose(m_file); }
    std::FILE* file() const { return m_file; }
    QString text() const {
        std::fflush(m_file);
        std::rewind(m_file);
        QByteArray bytes;
        char buffer[4096];
        while (const std::size_t count = std::fread(buffer, 1, sizeof buffer, m_file))
            bytes.append(buffer, static_cast<qsizetype>(count));
        return QString::fromUtf8(bytes);
    }

private:
    std::FILE* m_file;
};

// The write end of the face's command input.
class CommandPipe {
public:
    CommandPipe() { QVERIFY(::pipe(m_fds) == 0); }
    ~CommandPipe() {
        ::close(m_fds[0]);
        if (m_fds[1] >= 0)
            ::close(m_fds[1]);
    }
    int readEnd() const { return m_fds[0]; }
    void send(const QByteArray& text) {
        QCOMPARE(::write(m_fds[1], text.constData(), text.size()), text.size());
    }
    void close() { ::close(std::exchange(m_fds[1], -1)); }

private:
    int m_fds[2] = {-1, -1};
};

// A copy at 0.1.0 that updates itself.
InfoDictionary selfUpdatingCopy() {
    return {{u"CFBundleShortVersionString"_s, u"0.1.0"_s},
            {u"SUFeedURL"_s, u"https://updates.example/appcast.xml"_s},
            {u"SUPublicEDKey"_s, QString::fromLatin1(QByteArray(32, 'k').toBase64())}};
}

} // namespace

class TestTerminalFace : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void printsEachChangeOnceWhenNotATerminal() {
        Fixture f;
        f.make();
        Capture output;
        TerminalFace face(*f.model, {}, output.file(), false, -1);
        f.startRunning();
        f.model->supervisor().stop();
        settle();
        const QString text = output.text();
        // OFF at start and again after the stop: the stop's cleared readouts make one block, not several.
        QCOMPARE(text.count(u"Kestrin OFF"_s), 2);
        QCOMPARE(text.count(u"Kestrin ON"_s), 1);
        QVERIFY(!text.contains(u"GOOD FOR"_s));
    }

    void updatesTheCountdownInPlaceOnATerminal() {
        Fixture f;
        f.server->setup = setupDownloading; // answers the network, so the code is shown
        f.server->code = QByteArray(R"({"code":"111111","expiresAt":)") +
                         QByteArray::number((1'800'000'000 + 125) * qint64(1000)) + '}';
        f.make();
        Capture output;
        TerminalFace face(*f.model, {}, output.file(), true, -1);
        f.startRunning();
        f.advance(2);
        settle();
        const QString text = output.text();
        QVERIFY2(text.contains(u"Then type this code: 111111"_s), qPrintable(text));
        QVERIFY(text.contains(u"GOOD FOR 2:05"_s));
        QVERIFY(text.contains(u"\r\x1b[2KGOOD FOR 2:04"_s));
        QVERIFY(text.contains(u"\r\x1b[2KGOOD FOR 2:03"_s));
        QCOMPARE(text.count(u"Then type this code"_s), 1); // the block itself is not printed again
    }

    void takesCommandsFromItsInput() {
        Fixture f;
        f.make();
        Capture output;
        CommandPipe commands;
        TerminalFace face(*f.model, {}, output.file(), false, commands.readEnd());
        f.startRunning();

        commands.send("h\n");
        QTRY_COMPARE(f.model->networkPreference(), NetworkPreference::homeNetwork);
        commands.send("n\n");
        QTRY_COMPARE(f.count(u"POST /api/pair/code"_s), 1);
        const int setupReads = f.count(u"GET /api/setup"_s);
        commands.send("r\n");
        QTRY_COMPARE(f.count(u"GET /api/setup"_s), setupReads + 1);
        commands.send("  what\n");
        QTRY_VERIFY(output.text().contains(u"There is no command “what”."_s));
        // A line too long to be a command is dropped whole, up to its line feed, and said so: what
        // comes after its first kilobyte is not run as a command of its own.
        commands.send(QByteArray(1280, 'a') + "h\n");
        QTRY_VERIFY(output.text().contains(u"That line is too long to be a command."_s));
        commands.send("n\n");
        QTRY_COMPARE(f.count(u"POST /api/pair/code"_s), 2);
        QCOMPARE(f.model->networkPreference(), NetworkPreference::homeNetwork);
        commands.send("agents\n"); // no agents' model given: no such command
        QTRY_VERIFY(output.text().contains(u"There is no command “agents”."_s));
        commands.close();
        settle(); // the end of input is taken quietly
        QVERIFY(f.model->state().isRunning());
    }

    // The agents' modes show on command with what each lets its agent do; a change is sent as typed,
    // and one the server refuses leaves the modes in effect shown with the problem said.
    void showsAndChangesTheAgentsModes() {
        Fixture f;
        f.make();
        FakeServer server;
        ApprovalViewModel approval(server.operations());
        Capture output;
        CommandPipe commands;
        TerminalFace face(*f.model, {.approval = &approval}, output.file(), false, commands.readEnd());
        QVERIFY(!output.text().contains(u"Agents ·"_s)); // not until asked

        // A change typed before the modes were read reads them first, then is made.
        commands.send("agent claude read_only\n");
        QTRY_COMPARE(server.requests, (QStringList{u"load"_s, u"claude read_only"_s}));
        commands.send("agent claude ask\n");
        QTRY_COMPARE(server.requests.size(), 3);
        commands.send("agents\n");
        const QString askFirst =
            u"  Claude: Ask first. "_s + ClaudeApprovalModes::explanation(ClaudeApprovalMode::ask).toString();
        QTRY_VERIFY(output.text().contains(askFirst));
        commands.send("agent codex danger_full\n");
        QTRY_VERIFY(output.text().contains(
            u"  Codex:  Danger — no sandbox. "_s +
            CodexApprovalModes::explanation(CodexApprovalMode::dangerFull).toString()));
        QCOMPARE(server.requests.last(), u"codex danger_full"_s);

        // While a change saves, another is refused with words.
        server.changeGate = OneShot<bool>();
        commands.send("agent codex ask\n");
        QTRY_VERIFY(approval.stage() != (Stage{Stage::Ready{*server.loaded, std::nullopt}}));
        commands.send("agent claude read_only\n");
        QTRY_VERIFY(output.text().contains(TerminalOutcome::stillSaving.toString()));
        server.changeGate->set(true);
        server.changeGate.reset();
        QTRY_VERIFY(std::holds_alternative<Stage::Ready>(approval.stage().value));
        QCOMPARE(server.requests.size(), 6);
        commands.send("agent codex danger_full\n");
        QTRY_COMPARE(server.requests.size(), 7);

        server.changed = refused;
        commands.send("agent claude just_run\n");
        QTRY_VERIFY(output.text().contains(ApprovalLadderFlow::failedChangeWords.toString()));
        const QString last = output.text().section(u"Agents ·"_s, -1);
        QVERIFY2(last.contains(askFirst), qPrintable(last)); // the mode in effect, not the one typed
        QVERIFY(last.contains(u"Saving…"_s) == false);

        commands.send("agent claude sometimes\n");
        QTRY_VERIFY(output.text().contains(u"Claude's modes are read_only, ask and just_run."_s));
        commands.send("agent gemini ask\n");
        QTRY_VERIFY(output.text().contains(u"The agents are claude and codex."_s));
        QCOMPARE(server.requests.size(), 8);

        commands.send("close\n");
        server.changed.reset();
        approval.refresh(); // a change after closing is not printed
        settle();
        QVERIFY(!output.text().section(u"Kestrin OFF"_s, -1).contains(u"Agents ·"_s));
    }

    // `log` prints the server's last lines once and stops reading; `log follow` prints them and every
    // new line until `log stop`. The log's words are shown, never obeyed.
    void printsAndFollowsTheServersLog() {
        Fixture f;
        f.make();
        auto owned = std::make_unique<HandLogFollower>();
        HandLogFollower& follower = *owned;
        ServerLogModel log(std::move(owned), u"/logs/server.log"_s);
        Capture output;
        CommandPipe commands;
        TerminalFace face(*f.model, {.log = &log}, output.file(), false, commands.readEnd());
        commands.send("log\n");
        QTRY_COMPARE(follower.followed.size(), 1);
        QByteArray fifty;
        for (int line = 1; line <= 50; ++line)
            fifty += "request " + QByteArray::number(line) + '\n';
        follower.tell(LogRead::Kind::fromStart, fifty);
        QTRY_VERIFY(output.text().contains(
            u"The server's log (/logs/server.log), its last 40 lines:\n  request 11\n"_s));
        QVERIFY(output.text().contains(u"  request 50\n"_s));
        QVERIFY(!output.text().contains(u"  request 10\n"_s));
        QCOMPARE(follower.stops, 1); // read once, then let go

        commands.send("log follow\n");
        QTRY_COMPARE(follower.followed.size(), 2);
        follower.tell(LogRead::Kind::fromStart, fifty);
        QTRY_VERIFY(output.text().contains(u"type log stop to stop."_s));
        follower.tell(LogRead::Kind::more, "a \x1b[31mred\x1b[0m line\n");
        QTRY_VERIFY(output.text().contains(u"  a \\x1b[31mred\\x1b[0m line\n"_s));
        commands.send("log stop\n");
        QTRY_VERIFY(output.text().contains(u"Stopped following the server's log."_s));
        QCOMPARE(follower.stops, 2);
        follower.tell(LogRead::Kind::more, "after the stop\n");
        commands.send("log stop\n");
        QTRY_VERIFY(output.text().contains(u"The server's log is not being followed."_s));
        QVERIFY(!output.text().contains(u"after the stop"_s));

        follower.tell(LogRead::Kind::missing);
        commands.send("log\n");
        QTRY_COMPARE(follower.followed.size(), 3);
        follower.tell(LogRead::Kind::missing);
        QTRY_VERIFY(output.text().contains(u"There is no server log at /logs/server.log yet."_s));
    }

    // The setup's commands offer `install` only where something can install git.
    void theSetupHelpOffersInstallOnlyWhereItCan_data() {
        QTest::addColumn<DeveloperToolsInstaller>("installer");
        QTest::addColumn<bool>("offered");
        QTest::newRow("PackageKit") << DeveloperToolsInstaller::packageKit << true;
        QTest::newRow("nothing to install with") << DeveloperToolsInstaller::none << false;
    }
    void theSetupHelpOffersInstallOnlyWhereItCan() {
        QFETCH(DeveloperToolsInstaller, installer);
        QFETCH(bool, offered);
        Fixture f;
        f.make();
        Welcome w;
        w.tools->installsWith = installer;
        w.make();
        Capture output;
        CommandPipe commands;
        TerminalFace face(*f.model, {.welcome = w.model.get()}, output.file(), false, commands.readEnd());
        QTRY_COMPARE(w.model->toolsInstaller(), installer);
        commands.send("no-such-command\n");
        QTRY_VERIFY(output.text().contains(u"There is no command “no-such-command”."_s));
        QTRY_VERIFY(output.text().contains(u"Setup: "_s));
        QCOMPARE(output.text().contains(u"install (git)"_s), offered);
    }

    // The update key shows as a line; `update` presses it (only when the updater can check), and the
    // alert shown is answered by the word after `update`; a word the alert does not take is refused.
    void showsAndAnswersTheUpdateAlert() {
        Fixture f;
        f.make();
        auto owned = std::make_unique<ScriptedUpdater>();
        ScriptedUpdater& updater = *owned;
        UpdatesModel updates(selfUpdatingCopy(), std::move(owned));
        Capture output;
        CommandPipe commands;
        TerminalFace face(*f.model, {.updates = &updates}, output.file(), false, commands.readEnd());
        QTRY_VERIFY(output.text().contains(u"Updates: Check for updates… (You have 0.1.0)\n"_s));

        commands.send("update install\n");
        QTRY_VERIFY(output.text().contains(u"No update is shown to answer."_s));
        commands.send("update\n");
        QTRY_COMPARE(updater.checks, 1);
        updater.report(u"alert"_s);
        AppcastItem item{.version = u"0.2.0"_s, .shortVersion = u"0.2.0"_s};
        item.releaseNotes = u"Calmer.\nSteadier."_s;
        updater.show(UpdateAlert{UpdateAlert::Offered{item, u"0.1.0"_s}});
        QTRY_VERIFY(
            output.text().contains(u"Updates: Update ready — restart to install\n\n"
                                   u"A new version of Kestrin is available\n"
                                   u"Kestrin 0.2.0 is available — you have 0.1.0. It downloads now and "
                                   u"installs when you quit Kestrin.\n  Calmer.\n  Steadier.\n"
                                   u"Type update skip (Skip This Version), update later (Remind Me "
                                   u"Later), update install (Install on Quit).\n"_s));
        commands.send("update quit\n");
        QTRY_VERIFY(output.text().contains(u"The update shown doesn’t take “quit”."_s));
        commands.send("update install\n");
        QTRY_COMPARE(updater.answers, QList<UpdateAnswer>{UpdateAnswer::installOnQuit});
        // A download's progress in tenths, so that a log gets a block per tenth, not per chunk.
        updater.show(UpdateAlert{UpdateAlert::Downloading{item, 459, 1000}});
        QTRY_VERIFY(output.text().contains(
            u"Downloading Kestrin 0.2.0…\n40 % received\nType update cancel (Cancel).\n"_s));
        updater.show(UpdateAlert{UpdateAlert::Ready{item}});
        commands.send("update later\n");
        QTRY_COMPARE(updater.answers.size(), 2);
        QCOMPARE(updater.answers.last(), UpdateAnswer::later);
        updater.show(std::nullopt);
        updater.report(u"finished"_s);
        QTRY_VERIFY(output.text().endsWith(u"Updates: Check for updates… (You have 0.1.0)\n\n"_s));

        // A copy that does not update itself says so.
        UpdatesModel fixed(InfoDictionary{{u"CFBundleShortVersionString"_s, u"0.1.0"_s}});
        Capture other;
        CommandPipe typed;
        TerminalFace still(*f.model, {.updates = &fixed}, other.file(), false, typed.readEnd());
        typed.send("update\n");
        QTRY_VERIFY(other.text().contains(u"This copy of Kestrin doesn’t update itself."_s));

        // Nor does a packaged copy, which says who does.
        UpdatesModel packaged(
            InfoDictionary{{u"CFBundleShortVersionString"_s, u"0.1.0"_s}, {u"KestrinPackaged"_s, true}});
        Capture third;
        CommandPipe typedThird;
        TerminalFace packagedFace(*f.model, {.updates = &packaged}, third.file(), false,
                                  typedThird.readEnd());
        typedThird.send("update\n");
        QTRY_VERIFY(
            third.text().contains(u"Your system’s package manager keeps this copy of Kestrin up to date."_s));
        QVERIFY(third.text().contains(u"Updates: Updated by your package manager (You have 0.1.0)"_s));
    }

    // Control characters and the marks that reorder text are shown as escapes; line breaks and every
    // other character, in any script, stay as they are.
    void outsideTextIsShownNotObeyed_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain words") << u"Ana’s phone — ✓ 日本"_s << u"Ana’s phone — ✓ 日本"_s;
        QTest::newRow("line breaks") << u"one\ntwo\n"_s << u"one\ntwo\n"_s;
        QTest::newRow("a new window title") << u"\x1b]0;pwned\x07"_s << u"\\x1b]0;pwned\\x07"_s;
        QTest::newRow("a cleared screen") << u"\x1b[2Jx"_s << u"\\x1b[2Jx"_s;
        QTest::newRow("a hyperlink") << u"\x1b]8;;https://evil.example\x1b\\"_s
                                     << u"\\x1b]8;;https://evil.example\\x1b\\"_s;
        QTest::newRow("carriage return, tab, DEL") << u"a\rb\tc\x7f"_s << u"a\\x0db\\x09c\\x7f"_s;
        QTest::newRow("C1 controls") << u"\u009b2J\u0085"_s << u"\\x9b2J\\x85"_s;
        QTest::newRow("bidirectional overrides")
            << u"abc\u202Efdp.exe\u2066x\u2069"_s << u"abc\\u202efdp.exe\\u2066x\\u2069"_s;
    }
    void outsideTextIsShownNotObeyed() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(TerminalText::visible(text), shown);
    }

    // Release notes, a server's words and a phone's name reach the terminal through one door: there,
    // an escape sequence in them is shown as text, while the face's own line clearing still works.
    void theFaceShowsOutsideWordsAsText() {
        Fixture f;
        f.make();
        auto owned = std::make_unique<ScriptedUpdater>();
        ScriptedUpdater& updater = *owned;
        UpdatesModel updates(selfUpdatingCopy(), std::move(owned));
        Capture output;
        TerminalFace face(*f.model, {.updates = &updates}, output.file(), true, -1);
        AppcastItem item{.version = u"0.2.0"_s, .shortVersion = u"0.2.0"_s};
        item.releaseNotes = u"\x1b]0;pwned\x07"
                            u"Calmer.\x1b[2J"_s;
        updater.show(UpdateAlert{UpdateAlert::Offered{item, u"0.1.0"_s}});
        QTRY_VERIFY2(output.text().contains(u"  \\x1b]0;pwned\\x07Calmer.\\x1b[2J\n"_s),
                     qPrintable(output.text()));
        QVERIFY(!output.text().contains(u"\x1b]"_s));
        QVERIFY(!output.text().contains(u"\x1b[2J"_s));
        QVERIFY(output.text().contains(u"\r\x1b[2K"_s)); // the face's own
    }

    // Live previews show on command; "previews on" prints everything the feature can and can't do
    // and turns it on only after "yes"; off is sent at once.
    void turnsPreviewsOnOnlyAfterAYes() {
        Fixture f;
        f.make();
        FakePreviewsServer server;
        PreviewsSwitchViewModel previews(server.operations());
        Capture output;
        CommandPipe commands;
        TerminalFace face(*f.model, {.previews = &previews}, output.file(), false, commands.readEnd());

        commands.send("previews on\n"); // not read yet: read first, then asked
        QTRY_VERIFY(output.text().contains(u"Type yes and Enter to turn on"_s));
        QVERIFY(output.text().contains(u"Live previews: off\n"_s));
        const QString consent = output.text().section(u"Turn on live previews?\n"_s, -1);
        for (const QStringView paragraph : LivePreviewsWords::explanation)
            QVERIFY2(consent.contains(u"  "_s + paragraph.toString()), qPrintable(consent));
        QVERIFY(previews.asking());
        commands.send("sure\n"); // anything but yes is Not now
        QTRY_VERIFY(!previews.asking());
        QCOMPARE(server.requests, QStringList{u"load"_s});

        commands.send("previews on\n");
        QTRY_VERIFY(previews.asking());
        commands.send("yes\n");
        QTRY_VERIFY(output.text().contains(u"Live previews: on\n"_s));
        QCOMPARE(server.requests, (QStringList{u"load"_s, u"set on"_s}));
        commands.send("previews off\n");
        QTRY_COMPARE(server.requests.last(), u"set off"_s);
        QTRY_VERIFY(output.text().section(u"Live previews:"_s, -1).startsWith(u" off\n"_s));

        commands.send("previews about\n");
        QTRY_VERIFY(
            output.text().contains(u"Live previews\n  "_s + LivePreviewsWords::explanation[0].toString()));
        QCOMPARE(server.requests.size(), 3);
        QVERIFY(!previews.asking());
    }

    // Against the reference server: the yes lands in its state file, and a change it cannot save
    // leaves the switch as it was, with the problem said.
    void turnsPreviewsOnInTheServersStateFile() {
        const LocalAdminSecret secret = *LocalAdminSecret::mint();
        ReferenceServer server(secret);
        QVERIFY2(server.error().isEmpty(), qPrintable(server.error()));
        Fixture f;
        f.make();
        PreviewsSwitchViewModel previews(PreviewsSwitchFlow::over(
            [&] { return SetupClient(std::make_shared<SocketHTTPTransport>(), server.port(), secret); }));
        Capture output;
        CommandPipe commands;
        TerminalFace face(*f.model, {.previews = &previews}, output.file(), false, commands.readEnd());
        const QString statePath = server.home() + u"/.local/share/corvane/state.json"_s;
        const auto saved = [&] {
            return QJsonDocument::fromJson(contentOf(statePath))[u"previewsEnabled"_s];
        };

        commands.send("previews on\n");
        QTRY_VERIFY(previews.asking());
        commands.send("yes\n");
        QTRY_VERIFY_WITH_TIMEOUT(output.text().contains(u"Live previews: on\n"_s), 10000);
        QCOMPARE(saved(), QJsonValue(true));

        QVERIFY(QFile::remove(statePath));
        QVERIFY(QDir().mkpath(statePath));
        commands.send("previews off\n");
        QTRY_VERIFY_WITH_TIMEOUT(output.text().contains(LivePreviewsWords::didNotTake.toString()), 10000);
        QVERIFY(output.text().section(u"Live previews:"_s, -1).startsWith(u" on\n"_s));
        QVERIFY(QDir(statePath).removeRecursively());
        QCoro::waitFor(previews.settled());
    }
};

QTEST_GUILESS_MAIN(TestTerminalFace)
#include "tst_TerminalFace.moc"
