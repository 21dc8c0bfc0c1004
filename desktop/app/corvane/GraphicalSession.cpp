#include "GraphicalSession.h"

#include <corvane/support/UniqueFd.h>

#include <corvane/LocalSocketAddress.h>
#include <corvane/SocketConnect.h>

#include <QDir>
#include <QFile>

#include <cstring>
#include <memory>
#include <netdb.h>
#include <sys/socket.h>

namespace corvane::GraphicalSession {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr std::chrono::milliseconds connectTime{1000};

// Connects to a local socket, at a path or (with a leading "@") in the abstract namespace.
bool unixSocketAnswers(const QString& name) {
    const std::optional<LocalSocketAddress> local = LocalSocketAddress::of(name);
    if (!local)
        return false;
    const UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    return socket.isValid() && ::connect(socket.get(), local->get(), local->length) == 0;
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
        if (socket.isValid() &&
            connectWithin(socket.get(), address->ai_addr, address->ai_addrlen, connectTime))
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
