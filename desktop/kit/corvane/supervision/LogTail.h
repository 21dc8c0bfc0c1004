#pragma once

#include <QByteArray>
#include <QStringList>

namespace corvane {

// The last lines of a log as it is read, piece by piece: whole lines only, at most `limit` of them,
// the oldest dropped first. A piece may end in the middle of a line (or of a character): that part
// waits for the rest, unless it grows past `longestLine` bytes, which then count as a line of their
// own. Bytes that are not UTF-8 show as replacement characters; nothing read is ever taken as markup.
class LogTail {
public:
    static constexpr qsizetype defaultLimit = 2000;
    static constexpr qsizetype longestLine = 64 * 1024;

    explicit LogTail(qsizetype limit = defaultLimit);

    // Adds what was read next; gives the whole lines it completed, in order (all of them, even those
    // beyond the limit, so that a follower misses none).
    QStringList append(QByteArrayView bytes);
    // Forgets everything: the log starts over (it was truncated, rotated or removed).
    void clear();

    const QStringList& lines() const { return m_lines; }
    qsizetype limit() const { return m_limit; }

private:
    qsizetype m_limit;
    QStringList m_lines;
    QByteArray m_partial;
};

} // namespace corvane
