#include "HTTPReplyReader.h"

#include <QList>

#include <algorithm>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QByteArrayView lineEnd = "\r\n";
constexpr QByteArrayView headEnd = "\r\n\r\n";
constexpr qsizetype maxChunkLineBytes = 1024;

bool isDigits(QByteArrayView text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A length that fits with room to spare; anything longer is no length a reply of ours could have.
std::optional<qint64> decimal(QByteArrayView text) {
    if (!isDigits(text) || text.size() > 15)
        return std::nullopt;
    return text.toLongLong();
}

std::optional<qint64> hexadecimal(QByteArrayView text) {
    if (text.isEmpty() || text.size() > 12)
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

} // namespace

HTTPReplyReader::HTTPReplyReader(qsizetype bodyLimit)
    : m_bodyLimit(std::max<qsizetype>(bodyLimit, 0)) {}

HTTPReplyReader::State HTTPReplyReader::take(QByteArrayView bytes) {
    if (m_state != State::reading)
        return m_state;
    m_pending.append(bytes);
    while (m_state == State::reading) {
        const qsizetype before = m_pending.size();
        const Stage stage = m_stage;
        switch (m_stage) {
        case Stage::head:
            if (!readHead())
                return m_state;
            break;
        case Stage::sizedBody: {
            const qsizetype taken = std::min<qint64>(m_remaining, m_pending.size());
            appendBody(QByteArrayView(m_pending).first(taken));
            m_pending.remove(0, taken);
            m_remaining -= taken;
            if (m_remaining == 0 || m_cut)
                return finish();
            break;
        }
        case Stage::bodyToClose:
            appendBody(m_pending);
            m_pending.clear();
            if (m_cut)
                return finish();
            break;
        case Stage::chunkSize:
        case Stage::chunkData:
        case Stage::chunkEnd:
        case Stage::trailers:
            if (!readChunked())
                return m_state;
            break;
        }
        // Nothing more can be done until more bytes come.
        if (m_state == State::reading && m_pending.size() == before && m_stage == stage)
            break;
    }
    return m_state;
}

HTTPReplyReader::State HTTPReplyReader::close() {
    if (m_state != State::reading)
        return m_state;
    if (m_stage == Stage::head)
        return fail(u"The connection closed before a whole reply came."_s);
    return finish();
}

bool HTTPReplyReader::readHead() {
    const qsizetype end = m_pending.indexOf(headEnd);
    if (end < 0) {
        if (m_pending.size() > maxHeadBytes)
            fail(u"The reply's headers ran past 64 KiB."_s);
        return false;
    }
    if (end > maxHeadBytes) {
        fail(u"The reply's headers ran past 64 KiB."_s);
        return false;
    }
    const QList<QByteArray> lines = m_pending.first(end).split('\n');
    m_pending.remove(0, end + headEnd.size());

    // HTTP/1.x, a space, three digits.
    const QByteArray statusLine = lines.first().trimmed();
    if (!statusLine.startsWith("HTTP/1.") || statusLine.size() < 12 || statusLine[8] != ' ' ||
        !isDigits(QByteArrayView(statusLine).sliced(9, 3)) ||
        (statusLine.size() > 12 && statusLine[12] != ' ')) {
        fail(u"The reply was not HTTP/1."_s);
        return false;
    }
    const int status = QByteArrayView(statusLine).sliced(9, 3).toInt();
    if (status >= 100 && status < 200)
        return true; // an interim reply: the real one follows

    std::optional<qint64> length;
    bool chunked = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = lines[i].first(colon).trimmed().toLower();
        const QByteArray value = lines[i].sliced(colon + 1).trimmed();
        if (name == "content-length") {
            const std::optional<qint64> stated = decimal(value);
            if (!stated || (length && *length != *stated)) {
                fail(u"The reply's length is not one number."_s);
                return false;
            }
            length = stated;
        } else if (name == "transfer-encoding") {
            chunked = value.toLower().split(',').last().trimmed() == "chunked";
        }
    }
    m_status = status;
    if (status == 204 || status == 304) {
        finish();
        return false;
    }
    if (chunked)
        m_stage = Stage::chunkSize; // chunks decide the length, whatever else was said
    else if (length) {
        m_stage = Stage::sizedBody;
        m_remaining = *length;
        if (m_remaining == 0) {
            finish();
            return false;
        }
    } else
        m_stage = Stage::bodyToClose;
    return true;
}

bool HTTPReplyReader::readChunked() {
    switch (m_stage) {
    case Stage::chunkSize: {
        const qsizetype end = m_pending.indexOf(lineEnd);
        if (end < 0) {
            if (m_pending.size() > maxChunkLineBytes)
                fail(u"A chunk's size line ran past 1 KiB."_s);
            return false;
        }
        const QByteArray line = m_pending.first(end);
        m_pending.remove(0, end + lineEnd.size());
        const qsizetype extension = line.indexOf(';');
        const std::optional<qint64> size =
            hexadecimal(line.first(extension < 0 ? line.size() : extension).trimmed());
        if (!size) {
            fail(u"A chunk's size is not a number."_s);
            return false;
        }
        m_remaining = *size;
        m_stage = *size == 0 ? Stage::trailers : Stage::chunkData;
        return true;
    }
    case Stage::chunkData: {
        const qsizetype taken = std::min<qint64>(m_remaining, m_pending.size());
        appendBody(QByteArrayView(m_pending).first(taken));
        m_pending.remove(0, taken);
        m_remaining -= taken;
        if (m_cut) {
            finish();
            return false;
        }
        if (m_remaining == 0)
            m_stage = Stage::chunkEnd;
        return true;
    }
    case Stage::chunkEnd:
        if (m_pending.size() < lineEnd.size())
            return false;
        if (!m_pending.startsWith(lineEnd)) {
            fail(u"A chunk ran past its size."_s);
            return false;
        }
        m_pending.remove(0, lineEnd.size());
        m_stage = Stage::chunkSize;
        return true;
    case Stage::trailers: {
        // Trailers, if any, end with an empty line; their content is of no interest.
        if (m_pending.startsWith(lineEnd)) {
            finish();
            return false;
        }
        if (m_pending.indexOf(headEnd) >= 0) {
            finish();
            return false;
        }
        if (m_pending.size() > maxHeadBytes)
            fail(u"The reply's trailers ran past 64 KiB."_s);
        return false;
    }
    case Stage::head:
    case Stage::sizedBody:
    case Stage::bodyToClose:
        break;
    }
    return false;
}

void HTTPReplyReader::appendBody(QByteArrayView bytes) {
    const qsizetype room = m_bodyLimit - m_body.size();
    m_body.append(bytes.first(std::min(room, bytes.size())));
    m_cut = m_body.size() >= m_bodyLimit;
}

HTTPReplyReader::State HTTPReplyReader::fail(QString why) {
    m_failure = std::move(why);
    m_pending.clear();
    m_body.clear();
    m_status = 0;
    return m_state = State::failed;
}

HTTPReplyReader::State HTTPReplyReader::finish() {
    m_pending.clear();
    m_pending.squeeze();
    return m_state = State::complete;
}

} // namespace corvane
