#pragma once

#include <QString>

#include <optional>
#include <sys/socket.h>
#include <sys/un.h>

namespace corvane {

// The address of a local (Unix) socket: at a path, or, with a leading "@", in the abstract namespace.
struct LocalSocketAddress {
    sockaddr_un address{};
    socklen_t length = 0;

    // None for an empty name or one too long for a socket address.
    static std::optional<LocalSocketAddress> of(const QString& name);
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&address); }
};

} // namespace corvane
