#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>
#include <qcorotask.h>

#include <chrono>
#include <expected>
#include <optional>

namespace corvane {

// One fully built HTTP request. The transport sends exactly these headers (plus what HTTP itself
// needs) and never answers from a cache.
struct HTTPRequest {
    QUrl url;
    QByteArray method;
    QList<QPair<QByteArray, QByteArray>> headers;
    std::optional<QByteArray> body; // nothing: the request has no body at all
    std::chrono::milliseconds timeout{5000};

    bool operator==(const HTTPRequest&) const = default;
};

// What came back: the status (0 when there was none) and the raw body.
struct HTTPReply {
    int status = 0;
    QByteArray body;

    bool operator==(const HTTPReply&) const = default;
};

// Performs one HTTP exchange. It fails, with the platform's description, only when no reply came
// (refused, timed out, cancelled); an error status is a reply like any other.
class HTTPTransport {
public:
    virtual ~HTTPTransport() = default;
    virtual QCoro::Task<std::expected<HTTPReply, QString>> send(HTTPRequest request) = 0;
};

} // namespace corvane
