// One Kestrin per user and port: where the socket lives, a second Kestrin's request, callers that say
// nothing or come in crowds, and (when the suite runs as root) another account on either end.

#include <corvane/SingleInstance.h>

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr uid_t otherAccount = 65534; // nobody

// Sets an environment variable for a scope, putting back what was there.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name)) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedVariable() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

// A process of another account at one end of a local socket: it listens at `path`, or it connects to
// `path` and asks to be shown. Ended with the scope.
class OtherAccount {
public:
    enum class Role { listens, asks };

    OtherAccount(Role role, const QString& path) {
        const QByteArray where = QFile::encodeName(path);
        m_pid = ::fork();
        if (m_pid != 0)
            return;
        // The child: only plain calls from here on, then _exit.
        if (::setgid(otherAccount) != 0 || ::setuid(otherAccount) != 0)
            ::_exit(2);
        const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, where.constData(),
                    std::min<size_t>(where.size(), sizeof address.sun_path - 1));
        const auto* generic = reinterpret_cast<const sockaddr*>(&address);
        if (role == Role::listens) {
            if (::bind(socket, generic, sizeof address) != 0 || ::listen(socket, 4) != 0)
                ::_exit(3);
            for (;;) {
                const int caller = ::accept(socket, nullptr, nullptr);
                char buffer[16];
                while (caller >= 0 && ::read(caller, buffer, sizeof buffer) > 0) {
                }
                ::close(caller);
            }
        }
        if (::connect(socket, generic, sizeof address) != 0)
            ::_exit(4);
        (void)!::write(socket, "show\n", 5);
        char buffer[16];
        while (::read(socket, buffer, sizeof buffer) > 0) {
        }
        ::_exit(0);
    }
    ~OtherAccount() {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    OtherAccount(const OtherAccount&) = delete;
    OtherAccount& operator=(const OtherAccount&) = delete;

private:
    pid_t m_pid = -1;
};

// A folder every account may write in, as the shared temporary folder is.
std::unique_ptr<QTemporaryDir> sharedFolder() {
    auto folder = std::make_unique<QTemporaryDir>();
    ::chmod(QFile::encodeName(folder->path()).constData(), 01777);
    return folder;
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The session's runtime folder when it is private to this user; otherwise a folder of Kestrin's
    // own in the user's cache, made private; never the shared temporary folder.
    void theSocketLivesInAPrivateFolder() {
        QTemporaryDir home;
        const ScopedVariable cache("XDG_CACHE_HOME", QFile::encodeName(home.filePath(u"cache"_s)));
        QTemporaryDir runtime;
        ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
        {
            const ScopedVariable session("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
            QCOMPARE(QFileInfo(SingleInstance::socketPath(9111)).absolutePath(), runtime.path());
        }
        const QString ownFolder = home.filePath(u"cache/kestrin"_s);
        const auto shared = sharedFolder();
        for (const QByteArray& unusable :
             {QByteArray(), QFile::encodeName(shared->path()), QByteArray("/nowhere")}) {
            const ScopedVariable session("XDG_RUNTIME_DIR", unusable);
            const QString path = SingleInstance::socketPath(9111);
            QCOMPARE(QFileInfo(path).absolutePath(), ownFolder);
            QVERIFY(path.endsWith(u"-9111.socket"_s));
            struct stat facts {};
            QCOMPARE(::stat(QFile::encodeName(ownFolder).constData(), &facts), 0);
            QCOMPARE(facts.st_mode & 0777, 0700u);
        }
    }

    // A second Kestrin's request shows the first; one that never speaks, or comes with a crowd, is let
    // go without holding anything up.
    void callersAreAnsweredAndBounded() {
        QTemporaryDir folder;
        const QString path = folder.filePath(u"kestrin.socket"_s);
        SingleInstance instance;
        int shown = 0;
        QVERIFY(instance.listen(path, [&] { ++shown; }));
        QVERIFY(SingleInstance::askRunningToShow(path));
        QTRY_COMPARE(shown, 1);

        std::vector<std::unique_ptr<QLocalSocket>> silent;
        for (int i = 0; i < SingleInstance::maxCallers + 4; ++i) {
            silent.push_back(std::make_unique<QLocalSocket>());
            silent.back()->connectToServer(path);
            QVERIFY(silent.back()->waitForConnected(1000));
        }
        // Those past the limit are closed at once; the others once their time is up.
        QTRY_VERIFY_WITH_TIMEOUT(std::count_if(silent.begin(), silent.end(),
                                               [](const auto& socket) {
                                                   return socket->state() == QLocalSocket::UnconnectedState;
                                               }) >= 4,
                                 500);
        QTRY_VERIFY_WITH_TIMEOUT(
            std::ranges::all_of(
                silent, [](const auto& socket) { return socket->state() == QLocalSocket::UnconnectedState; }),
            SingleInstance::callerTime.count() * 3);
        QVERIFY(SingleInstance::askRunningToShow(path));
        QTRY_COMPARE(shown, 2);
    }

    // A crashed Kestrin's socket answers nobody and is replaced; a Kestrin that ends takes its own away.
    void aSocketLeftBehindIsReplacedAndOursIsTakenAway() {
        QTemporaryDir folder;
        const QString path = folder.filePath(u"kestrin.socket"_s);
        { // a socket bound and never unlinked, as a crash leaves it
            const int left = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::strcpy(address.sun_path, QFile::encodeName(path).constData());
            QCOMPARE(::bind(left, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
            ::close(left);
        }
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(!SingleInstance::askRunningToShow(path));
        {
            SingleInstance instance;
            int shown = 0;
            QVERIFY(instance.listen(path, [&] { ++shown; }));
            QVERIFY(SingleInstance::askRunningToShow(path));
            QTRY_COMPARE(shown, 1);
        }
        QVERIFY(!QFileInfo::exists(path));
    }

    // Another account listening where Kestrin's socket would be is not a running Kestrin: the new one
    // starts. Another account's request to show is not obeyed.
    void anotherAccountIsNeitherTrustedNorObeyed() {
        if (::geteuid() != 0)
            QSKIP("Playing another account takes root; run the suite as root to check this.");
        const auto shared = sharedFolder();
        const QString squatted = shared->filePath(u"kestrin-0-9111.socket"_s);
        {
            const OtherAccount squatter(OtherAccount::Role::listens, squatted);
            QTRY_VERIFY(QFileInfo::exists(squatted));
            QVERIFY(!SingleInstance::askRunningToShow(squatted));
        }

        const QString path = shared->filePath(u"ours.socket"_s);
        SingleInstance instance;
        int shown = 0;
        QVERIFY(instance.listen(path, [&] { ++shown; }));
        ::chmod(QFile::encodeName(path).constData(), 0777); // so that the other account reaches it at all
        {
            const OtherAccount caller(OtherAccount::Role::asks, path);
            QTest::qWait(500);
        }
        QCOMPARE(shown, 0);
        QVERIFY(SingleInstance::askRunningToShow(path));
        QTRY_COMPARE(shown, 1);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_SingleInstance.moc"
