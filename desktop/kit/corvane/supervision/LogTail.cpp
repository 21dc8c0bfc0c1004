#include "LogTail.h"

#include <algorithm>

namespace corvane {

LogTail::LogTail(qsizetype limit)
    : m_limit(std::max<qsizetype>(1, limit)) {}

QStringList LogTail::append(QByteArrayView bytes) {
    QStringList completed;
    qsizetype start = 0;
    for (qsizetype newline = bytes.indexOf('\n'); newline >= 0; newline = bytes.indexOf('\n', start)) {
        m_partial.append(bytes.sliced(start, newline - start));
        if (m_partial.endsWith('\r'))
            m_partial.chop(1);
        completed.append(QString::fromUtf8(m_partial));
        m_partial.clear();
        start = newline + 1;
    }
    m_partial.append(bytes.sliced(start));
    // A line without end (a binary file, a runaway writer) must not hold memory without bound.
    while (m_partial.size() > longestLine) {
        // Cut at a character's start, so that no character is split in two.
        qsizetype cut = longestLine;
        while (cut > longestLine - 4 && (static_cast<unsigned char>(m_partial.at(cut)) & 0xC0) == 0x80)
            --cut; // a character is four bytes at most; past that these are not UTF-8 anyway
        completed.append(QString::fromUtf8(m_partial.first(cut)));
        m_partial.remove(0, cut);
    }
    m_lines.append(completed);
    if (m_lines.size() > m_limit)
        m_lines.remove(0, m_lines.size() - m_limit);
    return completed;
}

void LogTail::clear() {
    m_lines.clear();
    m_partial.clear();
}

} // namespace corvane
