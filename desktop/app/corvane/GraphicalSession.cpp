#include "GraphicalSession.h"

#include <corvane/support/UniqueFd.h>

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <memory>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

namespace corvane::GraphicalSession {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int connectMilliseconds = 1000;

// Connects to a local socket, at a path or (with a leading "@") in the abstract namespace.
bool unixSocketAnswers(const QString& name) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = name.startsWith(u'@') ? QByteArray(1, '\0') + QFile::encodeName(name.mid(1))
                                                  : QFile::encodeName(name);
    if (path.isEmpty() || static_cast<std::size_t>(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.isValid())
        return false;
    const auto length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + static_cast<std::size_t>(path.size()));
    return ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), length) == 0;
}

// Connects to a TCP port of `host` (a name, as Xlib itself would look it up, or an address), giving
// each address it has up to the connect time.
bool tcpAnswers(const QString& host, int port) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(QFile::encodeName(host).constData(), QByteArray::number(port).constData(), &hints,
                      &found) != 0)
        return false;
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> addresses(found, &::freeaddrinfo);
    for (const addrinfo* address = found; address; address = address->ai_next) {
        const UniqueFd socket(::socket(address->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        if (!socket.isValid())
            continue;
        if (::connect(socket.get(), address->ai_addr, address->ai_addrlen) == 0)
            return true;
        if (errno != EINPROGRESS)
            continue;
        pollfd done{.fd = socket.get(), .events = POLLOUT, .revents = 0};
        int error = 0;
        socklen_t size = sizeof error;
        if (::poll(&done, 1, connectMilliseconds) == 1 &&
            ::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0)
            return true;
    }
    return false;
}

// DISPLAY is [host]:number[.screen]: a local server listens on /tmp/.X11-unix/X<number> (and its
// abstract twin), a remote or forwarded one on TCP port 6000 + number.
bool x11Answers(const QString& display) {
    const qsizetype colon = display.lastIndexOf(u':');
    if (colon < 0)
        return false;
    const QString host = display.left(colon);
    bool isNumber = false;
    const int number = display.mid(colon + 1).section(u'.', 0, 0).toInt(&isNumber);
    if (!isNumber || number < 0)
        return false;
    if (host.isEmpty() || host == u"unix"_s) {
        const QString socket = u"/tmp/.X11-unix/X%1"_s.arg(number);
        return unixSocketAnswers(socket) || unixSocketAnswers(u'@' + socket);
    }
    return tcpAnswers(host, 6000 + number);
}

bool waylandAnswers(const QString& display, const QString& runtimeFolder) {
    const QString socket = QDir::isAbsolutePath(display) ? display : runtimeFolder + u'/' + display;
    return unixSocketAnswers(socket);
}

} // namespace

bool answers(const Environment& environment) {
    const QString wayland = environment.value(u"WAYLAND_DISPLAY"_s);
    if (!wayland.isEmpty() && waylandAnswers(wayland, environment.value(u"XDG_RUNTIME_DIR"_s)))
        return true;
    const QString x11 = environment.value(u"DISPLAY"_s);
    return !x11.isEmpty() && x11Answers(x11);
}

} // namespace corvane::GraphicalSession
