#pragma once

#include <QByteArray>
#include <QString>

#include <expected>
#include <utility>

namespace corvane {

// Sole owner of a POSIX file descriptor; closes it when it goes away.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd)
        : m_fd(fd) {}
    UniqueFd(UniqueFd&& other) noexcept
        : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return m_fd; }
    bool isValid() const { return m_fd >= 0; }
    int release() { return std::exchange(m_fd, -1); }
    // Closes the descriptor now; an error while closing is of no use to anyone and is ignored.
    void reset();

    // A new file opened for writing with exactly `mode`, failing (with errno) if anything is at `path`.
    static std::expected<UniqueFd, int> createExclusive(const QString& path, unsigned mode);

private:
    int m_fd = -1;
};

// Writes every byte, carrying on after partial writes and retrying interrupted ones. Fails with errno.
std::expected<void, int> writeAll(int fd, QByteArrayView bytes);

} // namespace corvane
