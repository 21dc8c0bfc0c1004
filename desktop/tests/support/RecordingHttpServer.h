#pragma once

// A loopback HTTP/1.1 server for tests: it records each request as it arrived and answers with the
// replies it was given, in order, one request per connection.

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>
#include <optional>

struct RecordedRequest {
    QByteArray method;
    QByteArray target;                    // path and query exactly as sent
    QMap<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;

    std::optional<QByteArray> header(const QByteArray& name) const {
        const auto found = headers.constFind(name.toLower());
        return found == headers.constEnd() ? std::nullopt : std::optional(*found);
    }
};

struct ScriptedReply {
    enum class Kind {
        complete,  // status, JSON content type, the body, then the connection closes
        truncated, // announces 100 bytes more than it sends, then closes
        silent,    // never answers and keeps the connection open
    };
    int status = 200;
    QByteArray body;
    Kind kind = Kind::complete;
};

class RecordingHttpServer {
public:
    RecordingHttpServer() {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection())
                serve(socket);
        });
    }

    int port() const { return m_server.serverPort(); }
    void answer(ScriptedReply reply) { m_replies.append(std::move(reply)); }
    const QList<RecordedRequest>& requests() const { return m_requests; }

private:
    void serve(QTcpSocket* socket) {
        socket->setParent(&m_server);
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            buffer->append(socket->readAll());
            if (auto request = parse(*buffer)) {
                QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
                m_requests.append(*request);
                respond(socket, m_replies.isEmpty() ? ScriptedReply{.body = "{}"} : m_replies.takeFirst());
            }
        });
    }

    static std::optional<RecordedRequest> parse(const QByteArray& buffer) {
        const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return std::nullopt;
        const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
        const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
        RecordedRequest request{.method = requestLine.value(0), .target = requestLine.value(1)};
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                   lines[i].mid(colon + 1).trimmed());
        }
        const qsizetype length = request.headers.value("content-length", "0").toLongLong();
        if (buffer.size() - headEnd - 4 < length)
            return std::nullopt;
        request.body = buffer.mid(headEnd + 4, length);
        return request;
    }

    static void respond(QTcpSocket* socket, const ScriptedReply& reply) {
        if (reply.kind == ScriptedReply::Kind::silent)
            return;
        const qsizetype announced =
            reply.body.size() + (reply.kind == ScriptedReply::Kind::truncated ? 100 : 0);
        socket->write("HTTP/1.1 " + QByteArray::number(reply.status) + " Scripted\r\n" +
                      "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(announced) +
                      "\r\nConnection: close\r\n\r\n" + reply.body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QList<ScriptedReply> m_replies;
    QList<RecordedRequest> m_requests;
};
