#pragma once

// Ports for servers that a test starts after choosing their port. Port 0 would hand out a port from
// the kernel's ephemeral range, which every outgoing connection also draws from, so on a busy machine
// the port can be taken between the probe and the server's bind. These ports lie outside that range,
// and each is free on every IPv4 address when it is handed out and never handed out twice by one suite.

#include <QFile>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QSet>
#include <QTcpServer>

#include <optional>
#include <utility>

// The kernel's ephemeral range (net.ipv4.ip_local_port_range), or Linux's default when unreadable.
inline std::pair<int, int> ephemeralPortRange() {
    QFile file(QStringLiteral("/proc/sys/net/ipv4/ip_local_port_range"));
    if (file.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> bounds = file.readAll().simplified().split(' ');
        bool lowRead = false;
        bool highRead = false;
        const int low = bounds.value(0).toInt(&lowRead);
        const int high = bounds.value(1).toInt(&highRead);
        if (lowRead && highRead && low <= high)
            return {low, high};
    }
    return {32768, 60999};
}

// The ports a test may take: 10000 and up (below are services people run: databases, X displays,
// web servers), never inside the ephemeral range.
inline QList<std::pair<int, int>> testPortRanges(std::pair<int, int> ephemeral) {
    const auto [low, high] = ephemeral;
    QList<std::pair<int, int>> ranges;
    const int floor = 10000;
    if (low - 1 >= floor)
        ranges.append({floor, low - 1});
    if (high + 1 <= 65535)
        ranges.append({std::max(high + 1, floor), 65535});
    return ranges;
}

// Whether nothing holds the port on any IPv4 address (loopback included).
inline bool portIsFree(int port) {
    QTcpServer probe;
    return probe.listen(QHostAddress::AnyIPv4, static_cast<quint16>(port));
}

// A free port outside the ephemeral range; none when the range leaves no room or every try is taken.
inline std::optional<int> freeTestPort() {
    static QSet<int> handedOut;
    const QList<std::pair<int, int>> ranges = testPortRanges(ephemeralPortRange());
    int size = 0;
    for (const auto& [first, last] : ranges)
        size += last - first + 1;
    for (int attempt = 0; size > 0 && attempt < 200; ++attempt) {
        int pick = QRandomGenerator::global()->bounded(size);
        for (const auto& [first, last] : ranges) {
            if (pick <= last - first) {
                pick += first;
                break;
            }
            pick -= last - first + 1;
        }
        if (!handedOut.contains(pick) && portIsFree(pick)) {
            handedOut.insert(pick);
            return pick;
        }
    }
    return std::nullopt;
}

// The port for a server the test starts next. Where the machine leaves no room outside the ephemeral
// range, one from the kernel, as before.
inline int freeLoopbackPort() {
    if (const std::optional<int> port = freeTestPort())
        return *port;
    QTcpServer probe;
    probe.listen(QHostAddress::AnyIPv4, 0);
    return probe.serverPort();
}
