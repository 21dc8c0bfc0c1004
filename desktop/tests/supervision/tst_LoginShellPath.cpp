#include "support/TestSupport.h"

#include <corvane/supervision/LoginShellPath.h>
#include <corvane/supervision/LoginShellPathOnce.h>

#include <corvane/ProcessCommandRunner.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <qcorotimer.h>

#include <unistd.h>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

// Answers every run with the same output, asynchronously, and remembers what it was asked.
class ScriptedRunner final : public CommandRunner {
public:
    explicit ScriptedRunner(std::optional<QString> output)
        : answer(std::move(output)) {}
    QCoro::Task<std::optional<QString>> run(QString executable, QStringList arguments,
                                            std::chrono::milliseconds timeout,
                                            std::optional<QString> finishedBy) override {
        ++runs;
        lastExecutable = executable;
        lastArguments = arguments;
        lastTimeout = timeout;
        lastFinishedBy = finishedBy;
        co_await QCoro::sleepFor(0ms); // answer from the event loop, as a real run does
        co_return answer;
    }
    void cancelRuns() override {} // every run answers from the next turn of the event loop anyway
    std::optional<QString> answer;
    int runs = 0;
    QString lastExecutable;
    QStringList lastArguments;
    std::chrono::milliseconds lastTimeout{};
    std::optional<QString> lastFinishedBy;
};

void writeExecutable(const QString& path, const QByteArray& script) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(script);
    file.close();
    QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
}

LoginShellPathResult readWith(const QString& shell) {
    return QCoro::waitFor(
        LoginShellPath::read({{u"SHELL"_s, shell}}, *std::make_shared<ProcessCommandRunner>()));
}

} // namespace

class TestLoginShellPath : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<std::optional<QString>>("path");
        const std::optional<QString> nothing;
        QTest::newRow("greeting before, prompt after")
            << u"Welcome back!\n__CORVANE_PATH_BEGIN__\n/usr/bin:/bin\n__CORVANE_PATH_END__\n$ "_s
            << std::optional(u"/usr/bin:/bin"_s);
        QTest::newRow("empty, relative and repeated pieces")
            << u"__CORVANE_PATH_BEGIN__\n/a::bin:/b:/a:./x:/c\n__CORVANE_PATH_END__"_s
            << std::optional(u"/a:/b:/c"_s);
        QTest::newRow("white space around the path")
            << u"__CORVANE_PATH_BEGIN__ \t\r\n/a:/b \n\n__CORVANE_PATH_END__"_s << std::optional(u"/a:/b"_s);
        QTest::newRow("first begin and the end after it")
            << u"__CORVANE_PATH_END__ __CORVANE_PATH_BEGIN__\n/a\n__CORVANE_PATH_END__\n/b\n__CORVANE_PATH_END__"_s
            << std::optional(u"/a"_s);
        QTest::newRow("begin without end") << u"__CORVANE_PATH_BEGIN__\n/a:/b\n"_s << nothing;
        QTest::newRow("end only before begin")
            << u"__CORVANE_PATH_END__\n__CORVANE_PATH_BEGIN__\n/a"_s << nothing;
        QTest::newRow("only white space between")
            << u"__CORVANE_PATH_BEGIN__\n \n__CORVANE_PATH_END__"_s << nothing;
        QTest::newRow("only relative pieces")
            << u"__CORVANE_PATH_BEGIN__bin:.:~/x__CORVANE_PATH_END__"_s << nothing;
        QTest::newRow("markers in another case")
            << u"__corvane_path_begin__/a__corvane_path_end__"_s << nothing;
        QTest::newRow("garbage") << u"\x01\x02 zsh: no such file\n"_s << nothing;
    }
    void parse() {
        QFETCH(QString, output);
        QFETCH(std::optional<QString>, path);
        QCOMPARE(LoginShellPath::parse(output), path);
    }

    void shell_data() {
        QTest::addColumn<std::optional<QString>>("variable");
        QTest::addColumn<QString>("shell");
        QTest::newRow("absolute") << std::optional(u"/usr/bin/fish"_s) << u"/usr/bin/fish"_s;
        QTest::newRow("relative") << std::optional(u"bash"_s) << u"/bin/zsh"_s;
        QTest::newRow("empty") << std::optional(u""_s) << u"/bin/zsh"_s;
        QTest::newRow("unset") << std::optional<QString>() << u"/bin/zsh"_s;
    }
    void shell() {
        QFETCH(std::optional<QString>, variable);
        QFETCH(QString, shell);
        Environment environment;
        if (variable)
            environment.insert(u"SHELL"_s, *variable);
        QCOMPARE(LoginShellPath::shell(environment), shell);
    }

    void readAsksTheShellOnceWithItsCommandLine_data() {
        QTest::addColumn<std::optional<QString>>("output");
        QTest::addColumn<LoginShellPathResult>("result");
        QTest::newRow("path") << std::optional(u"__CORVANE_PATH_BEGIN__/a:/b__CORVANE_PATH_END__"_s)
                              << LoginShellPathResult::read(u"/a:/b"_s);
        QTest::newRow("runner gave nothing") << std::optional<QString>() << LoginShellPathResult::failed();
        QTest::newRow("nothing usable") << std::optional(u"hello"_s) << LoginShellPathResult::failed();
    }
    void readAsksTheShellOnceWithItsCommandLine() {
        QFETCH(std::optional<QString>, output);
        QFETCH(LoginShellPathResult, result);
        ScriptedRunner runner(output);
        QCOMPARE(QCoro::waitFor(LoginShellPath::read({{u"SHELL"_s, u"/bin/bash"_s}}, runner)), result);
        QCOMPARE(runner.runs, 1);
        QCOMPARE(runner.lastExecutable, u"/bin/bash"_s);
        QCOMPARE(runner.lastArguments,
                 (QStringList{
                     u"-l"_s, u"-i"_s, u"-c"_s,
                     u"echo __CORVANE_PATH_BEGIN__; /usr/bin/printenv PATH; echo __CORVANE_PATH_END__"_s}));
        QCOMPARE(runner.lastTimeout, 3000ms);
        QCOMPARE(runner.lastFinishedBy, std::optional(u"__CORVANE_PATH_END__"_s));
    }

    void concurrentCallersShareOneRunAndTheAnswerStays() {
        const auto runner = std::make_shared<ScriptedRunner>(std::nullopt);
        LoginShellPathOnce once({{u"SHELL"_s, u"/bin/sh"_s}}, runner);
        auto first = once.value();
        auto second = once.value();
        QCOMPARE(QCoro::waitFor(first), LoginShellPathResult::failed());
        QCOMPARE(QCoro::waitFor(second), LoginShellPathResult::failed());
        runner->answer = u"__CORVANE_PATH_BEGIN__/a__CORVANE_PATH_END__"_s;
        QCOMPARE(QCoro::waitFor(once.value()), LoginShellPathResult::failed()); // even `failed` is kept
        QCOMPARE(runner->runs, 1);
    }

    // The real bash, as a login shell whose start-up files talk before and after the command.
    void realBashWithGreetingAndPrompt() {
        const QTemporaryDir home;
        QFile profile(home.filePath(u".bash_profile"_s));
        QVERIFY(profile.open(QIODevice::WriteOnly));
        profile.write("echo 'Welcome to your shell!'\n"
                      "trap 'echo \"me@host:~$ \"' EXIT\n"
                      "export PATH=/opt/tools/bin:/usr/bin:/opt/tools/bin:relative::/bin\n");
        profile.close();
        const QByteArray previousHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        const LoginShellPathResult result = readWith(u"/bin/bash"_s);
        qputenv("HOME", previousHome);
        QCOMPARE(result, LoginShellPathResult::read(u"/opt/tools/bin:/usr/bin:/bin"_s));
    }

    void realShellsThatFail_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::newRow("exit status 1 after a valid path") << QByteArray(
            "#!/bin/sh\necho __CORVANE_PATH_BEGIN__; echo /usr/bin; echo __CORVANE_PATH_END__\nexit 1\n");
        QTest::newRow("garbage") << QByteArray("#!/bin/sh\nprintf '\\377\\376 not a path at all'\n");
        QTest::newRow("killed by a signal after the path")
            << QByteArray("#!/bin/sh\necho __CORVANE_PATH_BEGIN__; echo /usr/bin; echo __CORVANE_PATH_END__\n"
                          "kill -KILL $$\n");
    }
    void realShellsThatFail() {
        QFETCH(QByteArray, script);
        const QTemporaryDir dir;
        writeExecutable(dir.filePath(u"shell"_s), script);
        QCOMPARE(readWith(dir.filePath(u"shell"_s)), LoginShellPathResult::failed());
    }

    // An interactive login shell would otherwise take over the terminal Kestrin was started from (and
    // be stopped by it), so it runs in a session of its own, with no controlling terminal.
    void theProbeRunsInASessionOfItsOwn() {
        ProcessCommandRunner runner;
        const std::optional<QString> output = QCoro::waitFor(runner.run(
            QStringLiteral(FIXTURE_SHELL), LoginShellPath::arguments(), 3s, LoginShellPath::end.toString()));
        QVERIFY(output);
        const QString between = output->section(LoginShellPath::begin.toString(), 1)
                                    .section(LoginShellPath::end.toString(), 0, 0);
        const SessionFacts shell = sessionFacts(between.toUtf8());
        QCOMPARE(shell.session, shell.process);
        QVERIFY(shell.session != ::getsid(0));
        QVERIFY(!shell.hasTerminal);
    }

    void missingShellFails() {
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(readWith(u"/nonexistent/shell"_s), LoginShellPathResult::failed());
        QVERIFY(clock.elapsed() < 2000);
    }

    // Prints both markers, then keeps running (holding its output open): after 3 seconds the caller
    // gets `failed` and the shell is asked to stop.
    void shellThatKeepsRunningIsStoppedAfterTheLimit() {
        const QTemporaryDir dir;
        const QString stopped = dir.filePath(u"got-sigterm"_s);
        writeExecutable(dir.filePath(u"shell"_s),
                        "#!/bin/bash\n"
                        "trap 'echo > \"" +
                            QFile::encodeName(stopped) +
                            "\"; exit 0' TERM\n"
                            "echo __CORVANE_PATH_BEGIN__; echo /usr/bin; echo __CORVANE_PATH_END__\n"
                            "while :; do sleep 0.05; done\n");
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(readWith(dir.filePath(u"shell"_s)), LoginShellPathResult::failed());
        QVERIFY(clock.elapsed() >= 2900);
        QVERIFY(clock.elapsed() < 4500);
        QTRY_VERIFY(QFileInfo::exists(stopped));
    }

    // A quit cannot wait out a slow shell: a cancelled run answers nothing at once, and the shell and
    // what its start-up files started are told to stop.
    void aCancelledRunAnswersNothingAndStopsTheShell() {
        const QTemporaryDir dir;
        const QString stopped = dir.filePath(u"got-sigterm"_s);
        const QString helper = dir.filePath(u"helper-pid"_s);
        // The trap is set before the helper's pid is written: once the test sees the pid, a SIGTERM
        // is always heard.
        writeExecutable(dir.filePath(u"shell"_s),
                        "#!/bin/bash\ntrap 'echo > \"" + QFile::encodeName(stopped) +
                            "\"; exit 0' TERM\nsleep 600 &\necho $! > \"" + QFile::encodeName(helper) +
                            "\"\nwhile :; do sleep 0.05; done\n");
        ProcessCommandRunner runner;
        auto run = runner.run(dir.filePath(u"shell"_s), {}, 3s, std::nullopt);
        QTRY_VERIFY(!contentOf(helper).isEmpty()); // the shell is running
        const pid_t helperPid = contentOf(helper).trimmed().toInt();
        QVERIFY(processAlive(helperPid));
        QElapsedTimer clock;
        clock.start();
        runner.cancelRuns();
        QCOMPARE(QCoro::waitFor(run), std::nullopt);
        QVERIFY(clock.elapsed() < 1000);
        QTRY_VERIFY(QFileInfo::exists(stopped));
        QTRY_VERIFY(!processAlive(helperPid));
    }

    void twoSimultaneousCallersRunTheRealShellOnce() {
        const QTemporaryDir dir;
        const QString runs = dir.filePath(u"runs"_s);
        writeExecutable(dir.filePath(u"shell"_s), "#!/bin/sh\necho run >> \"" + QFile::encodeName(runs) +
                                                      "\"\nsleep 0.2\necho __CORVANE_PATH_BEGIN__; echo "
                                                      "/usr/bin:/bin; echo __CORVANE_PATH_END__\n");
        LoginShellPathOnce once({{u"SHELL"_s, dir.filePath(u"shell"_s)}},
                                std::make_shared<ProcessCommandRunner>());
        auto first = once.value();
        auto second = once.value();
        const LoginShellPathResult expected = LoginShellPathResult::read(u"/usr/bin:/bin"_s);
        QCOMPARE(QCoro::waitFor(first), expected);
        QCOMPARE(QCoro::waitFor(second), expected);
        QFile counted(runs);
        QVERIFY(counted.open(QIODevice::ReadOnly));
        QCOMPARE(counted.readAll(), QByteArray("run\n"));
    }
};

QTEST_GUILESS_MAIN(TestLoginShellPath)
#include "tst_LoginShellPath.moc"
