#include "Inventory.h"

#include "ObjectCount.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// "127.0.0.1:40015", "[::1]:9111", "/run/dbus/system_bus_socket"; nothing for an end not bound or
// not connected.
QString address(const sockaddr_storage& address, socklen_t size) {
    char text[INET6_ADDRSTRLEN] = {};
    switch (address.ss_family) {
    case AF_INET: {
        sockaddr_in ipv4{};
        std::memcpy(&ipv4, &address, sizeof ipv4);
        ::inet_ntop(AF_INET, &ipv4.sin_addr, text, sizeof text);
        return u"%1:%2"_s.arg(QString::fromLatin1(text)).arg(ntohs(ipv4.sin_port));
    }
    case AF_INET6: {
        sockaddr_in6 ipv6{};
        std::memcpy(&ipv6, &address, sizeof ipv6);
        ::inet_ntop(AF_INET6, &ipv6.sin6_addr, text, sizeof text);
        return u"[%1]:%2"_s.arg(QString::fromLatin1(text)).arg(ntohs(ipv6.sin6_port));
    }
    case AF_UNIX: {
        sockaddr_un local{};
        std::memcpy(&local, &address, std::min(sizeof local, std::size_t(size)));
        const auto length = qsizetype(size) - qsizetype(offsetof(sockaddr_un, sun_path));
        if (length <= 0)
            return {};
        const QByteArray path(local.sun_path, length);
        // An abstract name begins with a zero byte.
        return path.startsWith('\0') ? u"@"_s + QString::fromUtf8(path.mid(1))
                                     : QString::fromUtf8(path.constData());
    }
    default:
        return {};
    }
}

// What a socket of this process is, asked of the socket itself: "tcp 127.0.0.1:40015 ->
// 127.0.0.1:9111", "unix -> /run/dbus/system_bus_socket", "netlink", "tcp (not connected)".
QString socketName(int descriptor) {
    int domain = 0;
    int type = 0;
    socklen_t size = sizeof domain;
    if (::getsockopt(descriptor, SOL_SOCKET, SO_DOMAIN, &domain, &size) != 0)
        return {};
    size = sizeof type;
    ::getsockopt(descriptor, SOL_SOCKET, SO_TYPE, &type, &size);
    QString kind;
    switch (domain) {
    case AF_INET:
    case AF_INET6:
        kind = type == SOCK_STREAM ? u"tcp"_s : u"udp"_s;
        break;
    case AF_UNIX:
        kind = u"unix"_s;
        break;
    case AF_NETLINK:
        return u"netlink"_s;
    default:
        return u"socket of family %1"_s.arg(domain);
    }
    sockaddr_storage local{};
    sockaddr_storage peer{};
    socklen_t localSize = sizeof local;
    socklen_t peerSize = sizeof peer;
    const QString here = ::getsockname(descriptor, reinterpret_cast<sockaddr*>(&local), &localSize) == 0
                             ? address(local, localSize)
                             : QString();
    const QString there = ::getpeername(descriptor, reinterpret_cast<sockaddr*>(&peer), &peerSize) == 0
                              ? address(peer, peerSize)
                              : QString();
    if (there.isEmpty())
        return kind + u" "_s + (here.isEmpty() ? u"(not connected)"_s : here + u" (not connected)"_s);
    return kind + u" "_s + here + u" -> "_s + there;
}

} // namespace

Inventory Inventory::now() {
    Inventory inventory{.classes = ObjectCount::byClass(), .descriptors = {}};
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        std::error_code unreadable;
        const QString target =
            QString::fromStdString(std::filesystem::read_symlink(entry.path(), unreadable));
        if (unreadable) // closed while the listing was read
            continue;
        const QString socket = target.startsWith(u"socket:"_s)
                                   ? socketName(QString::fromStdString(entry.path().filename()).toInt())
                                   : QString();
        inventory.descriptors.append(socket.isEmpty() ? target : socket);
    }
    inventory.descriptors.sort();
    return inventory;
}

bool Inventory::connectedTo(int port) {
    const QString end = u":%1"_s.arg(port);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const QString name = socketName(QString::fromStdString(entry.path().filename()).toInt());
        if (name.startsWith(u"tcp "_s) && name.contains(u" -> "_s) && name.endsWith(end))
            return true;
    }
    return false;
}

QStringList Inventory::classesGrownSince(const Inventory& earlier) const {
    std::map<QString, qint64> change;
    for (const auto& [name, count] : classes)
        change[name] += count;
    for (const auto& [name, count] : earlier.classes)
        change[name] -= count;
    QStringList grown;
    for (const auto& [name, count] : change)
        if (count != 0)
            grown.append(name + (count > 0 ? u" +"_s : u" "_s) + QString::number(count));
    return grown;
}

QStringList Inventory::descriptorsOpenedSince(const Inventory& earlier) const {
    QStringList opened;
    QStringList before = earlier.descriptors;
    for (const QString& target : descriptors)
        if (!before.removeOne(target))
            opened.append(target);
    return opened;
}
