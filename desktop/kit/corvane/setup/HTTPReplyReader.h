#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace corvane {

// Reads one HTTP/1.1 reply as its bytes arrive, in pieces cut anywhere: the status line, the headers,
// then a body sized by Content-Length, sent in chunks, or running to the connection's close. Interim
// (1xx) replies are passed over. Memory stays bounded: the headers may take 64 KiB, and the body is
// cut at `bodyLimit` bytes, which ends the reply (`isCut()`), so that whoever asked can refuse it.
class HTTPReplyReader {
public:
    static constexpr qsizetype maxHeadBytes = 64 * 1024;

    enum class State { reading, complete, failed };

    explicit HTTPReplyReader(qsizetype bodyLimit);

    // Takes the next bytes; what follows a finished reply is ignored.
    State take(QByteArrayView bytes);
    // The connection closed. A reply whose headers came ends here with whatever body it had, as a
    // reply that promised more yet is still a reply; one without headers fails.
    State close();

    State state() const { return m_state; }
    int status() const { return m_status; }
    const QByteArray& body() const { return m_body; }
    bool isCut() const { return m_cut; }
    // Why the reply could not be read, in words for the log.
    const QString& failure() const { return m_failure; }

private:
    enum class Stage { head, sizedBody, chunkSize, chunkData, chunkEnd, trailers, bodyToClose };

    bool readHead();
    bool readChunked();
    void appendBody(QByteArrayView bytes);
    State fail(QString why);
    State finish();

    qsizetype m_bodyLimit;
    State m_state = State::reading;
    Stage m_stage = Stage::head;
    QByteArray m_pending; // bytes taken but not yet understood
    int m_status = 0;
    qint64 m_remaining = 0; // of the sized body or the current chunk
    QByteArray m_body;
    bool m_cut = false;
    QString m_failure;
};

} // namespace corvane
