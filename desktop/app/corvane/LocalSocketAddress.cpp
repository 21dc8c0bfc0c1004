#include "LocalSocketAddress.h"

#include <QFile>

#include <cstddef>
#include <cstring>

namespace corvane {

std::optional<LocalSocketAddress> LocalSocketAddress::of(const QString& name) {
    LocalSocketAddress local;
    local.address.sun_family = AF_UNIX;
    const QByteArray path = name.startsWith(u'@') ? QByteArray(1, '\0') + QFile::encodeName(name.mid(1))
                                                  : QFile::encodeName(name);
    // A path keeps room for its ending zero byte; an abstract name is counted by its length alone.
    if (path.isEmpty() || static_cast<std::size_t>(path.size()) >= sizeof local.address.sun_path)
        return std::nullopt;
    std::memcpy(local.address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    local.length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + static_cast<std::size_t>(path.size()));
    return local;
}

} // namespace corvane
