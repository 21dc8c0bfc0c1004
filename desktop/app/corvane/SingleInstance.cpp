#include "SingleInstance.h"

#include <corvane/LocalSocketAddress.h>
#include <corvane/PrivateFolder.h>
#include <corvane/SocketConnect.h>

#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QByteArrayView showRequest = "show\n";
constexpr std::chrono::milliseconds answerTime{1000};

// Whether the process at the other end of the connected socket `descriptor` runs as this user.
bool peerIsThisUser(int descriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return descriptor >= 0 && ::getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::getuid();
}

// Waits up to the answer time for `events` on `descriptor`.
bool ready(int descriptor, short events) {
    pollfd waited{.fd = descriptor, .events = events, .revents = 0};
    int result = 0;
    while ((result = ::poll(&waited, 1, static_cast<int>(answerTime.count()))) < 0 && errno == EINTR) {
    }
    return result == 1 && (waited.revents & events) != 0;
}

} // namespace

QString SingleInstance::socketPath(int port) {
    // The session's runtime folder when it is what it should be (asked of the environment directly: Qt
    // would warn on every start without one); else a folder of Kestrin's own in the user's cache, made
    // for this user alone. Never the shared temporary folder, where anyone can take a name first.
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !isPrivateFolder(folder)) {
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + u"/kestrin"_s;
        if (!makePrivateFolder(folder))
            return {};
    }
    // The user's id keeps two people apart should they share a folder after all.
    return u"%1/kestrin-%2-%3.socket"_s.arg(folder).arg(::getuid()).arg(port);
}

bool SingleInstance::askRunningToShow(const QString& path) {
    const std::optional<LocalSocketAddress> address = LocalSocketAddress::of(path);
    if (!address)
        return false;
    const UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket.isValid())
        return false;
    // A listener whose queue is full makes a caller wait; it waits no longer than the answer time.
    if (!connectWithin(socket.get(), address->get(), address->length, answerTime) ||
        !peerIsThisUser(socket.get()))
        return false;
    for (qsizetype written = 0; written < showRequest.size();) {
        const ssize_t sent = ::send(socket.get(), showRequest.data() + written,
                                    static_cast<std::size_t>(showRequest.size() - written), MSG_NOSIGNAL);
        if (sent >= 0)
            written += sent;
        else if (errno != EINTR &&
                 !((errno == EAGAIN || errno == EWOULDBLOCK) && ready(socket.get(), POLLOUT)))
            return false;
    }
    return true;
}

bool SingleInstance::listen(const QString& path, std::function<void()> onShow) {
    const std::optional<LocalSocketAddress> address = LocalSocketAddress::of(path);
    if (!address)
        return false;
    m_onShow = std::move(onShow);
    UniqueFd listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!listener.isValid())
        return false;
    ::unlink(address->address.sun_path); // what a crashed Kestrin left; a live one answered before
    if (::bind(listener.get(), address->get(), address->length) != 0)
        return false;
    // Only this user may connect; its folder already keeps everyone else out.
    if (::chmod(address->address.sun_path, S_IRUSR | S_IWUSR) != 0 ||
        ::listen(listener.get(), SOMAXCONN) != 0) {
        ::unlink(address->address.sun_path);
        return false;
    }
    m_path = path;
    m_listener = std::move(listener);
    m_incoming = std::make_unique<QSocketNotifier>(m_listener.get(), QSocketNotifier::Read);
    connect(m_incoming.get(), &QSocketNotifier::activated, this, &SingleInstance::acceptCallers);
    return true;
}

SingleInstance::~SingleInstance() {
    if (m_listener.isValid())
        ::unlink(QFile::encodeName(m_path).constData());
}

void SingleInstance::acceptCallers() {
    for (;;) {
        UniqueFd caller(::accept4(m_listener.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!caller.isValid()) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return; // EAGAIN: no one else is waiting
        }
        // Another account's caller, or one too many, is let go at once.
        if (m_callers < maxCallers && peerIsThisUser(caller.get()))
            hear(std::move(caller));
    }
}

void SingleInstance::hear(UniqueFd caller) {
    // The caller's socket, its notifier and its time limit live and go together.
    auto* const call = new QObject(this);
    ++m_callers;
    connect(call, &QObject::destroyed, this, [this] { --m_callers; });
    const int descriptor = caller.get();
    auto* const said = new QSocketNotifier(descriptor, QSocketNotifier::Read, call);
    auto held = std::make_shared<UniqueFd>(std::move(caller));
    const auto hangUp = [call, said, held] {
        said->setEnabled(false);
        held->reset();
        call->deleteLater();
    };
    connect(said, &QSocketNotifier::activated, call, [this, descriptor, hangUp] {
        char request[64];
        ssize_t received = 0;
        while ((received = ::recv(descriptor, request, sizeof request, 0)) < 0 && errno == EINTR) {
        }
        if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        hangUp();
        if (received > 0 && QByteArrayView(request, received).contains("show") && m_onShow)
            m_onShow();
    });
    // A caller that says nothing is not waited for.
    QTimer::singleShot(callerTime, call, hangUp);
}

} // namespace corvane
