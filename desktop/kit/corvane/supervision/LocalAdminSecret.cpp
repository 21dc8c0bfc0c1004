#include "LocalAdminSecret.h"

#include <corvane/support/UniqueFd.h>

#include <QDebug>
#include <QDir>
#include <QFileInfo>

#include <array>
#include <cerrno>
#include <cstring>
#include <sys/random.h>

namespace corvane {

LocalAdminSecret::LocalAdminSecret(QString hex)
    : m_hex(std::move(hex)) {}

std::expected<LocalAdminSecret, LocalAdminSecret::MintError> LocalAdminSecret::mint() {
    std::array<unsigned char, hexLength / 2> bytes{};
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return std::unexpected(MintError::randomnessUnavailable);
        filled += static_cast<std::size_t>(got);
    }
    const QByteArray raw(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    return LocalAdminSecret(QString::fromLatin1(raw.toHex()));
}

std::optional<LocalAdminSecret> LocalAdminSecret::fromHex(const QString& hex) {
    if (hex.size() != hexLength)
        return std::nullopt;
    for (const QChar c : hex) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return std::nullopt;
    }
    return LocalAdminSecret(hex);
}

QByteArray LocalAdminSecret::handoverLine() const {
    return QByteArrayLiteral("{\"adminSecret\":\"") + m_hex.toLatin1() + QByteArrayLiteral("\"}\n");
}

std::expected<void, QString> LocalAdminSecret::writeHexForSmoke(const QString& path) const {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return std::unexpected(QStringLiteral("could not create the folder %1").arg(folder));
    QFile::remove(path);
    // Created owner-only from the first moment; never opened over an existing file or link.
    auto file = UniqueFd::createExclusive(path, 0600);
    if (!file)
        return std::unexpected(QString::fromLocal8Bit(std::strerror(file.error())));
    if (const auto written = writeAll(file->get(), m_hex.toLatin1()); !written)
        return std::unexpected(QString::fromLocal8Bit(std::strerror(written.error())));
    return {};
}

QDebug operator<<(QDebug debug, const LocalAdminSecret& secret) {
    const QDebugStateSaver saver(debug);
    debug.noquote().nospace() << secret.toString();
    return debug;
}

} // namespace corvane
