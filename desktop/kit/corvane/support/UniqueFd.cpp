#include "UniqueFd.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        reset();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

void UniqueFd::reset() {
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
}

std::expected<UniqueFd, int> UniqueFd::createExclusive(const QString& path, unsigned mode) {
    const QByteArray encoded = QFile::encodeName(path);
    UniqueFd file(::open(encoded.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
    if (!file.isValid())
        return std::unexpected(errno);
    // The umask may have taken bits away; the mode asked for is the mode the file gets.
    if (::fchmod(file.get(), mode) != 0)
        return std::unexpected(errno);
    return file;
}

std::expected<void, int> writeAll(int fd, QByteArrayView bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return std::unexpected(errno);
        }
        done += wrote;
    }
    return {};
}

} // namespace corvane
