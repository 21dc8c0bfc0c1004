#include "NetworkAccessTransport.h"

#include <corvane/setup/SetupClient.h>

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <qcorosignal.h>

#include <algorithm>
#include <memory>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};

QNetworkRequest networkRequest(const HTTPRequest& request) {
    QNetworkRequest networkRequest(request.url);
    networkRequest.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    networkRequest.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // A redirect would carry the admin secret to wherever it points; the client judges it as a refusal.
    networkRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                                QNetworkRequest::ManualRedirectPolicy);
    networkRequest.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    for (const auto& [name, value] : request.headers)
        networkRequest.setRawHeader(name, value);
    return networkRequest;
}

// Aborts from the event loop rather than from inside a signal of the reply or the timer, so the
// coroutine never resumes, and ends, while one of its own objects is still emitting.
void abortSoon(QNetworkReply* reply) {
    QMetaObject::invokeMethod(reply, &QNetworkReply::abort, Qt::QueuedConnection);
}

} // namespace

NetworkAccessTransport::NetworkAccessTransport(QNetworkAccessManager* manager)
    : m_manager(manager ? manager : localOnly()) {}

QNetworkAccessManager* NetworkAccessTransport::localOnly() {
    static QPointer<QNetworkAccessManager> shared;
    if (!shared) {
        shared = new QNetworkAccessManager(QCoreApplication::instance());
        shared->setProxy(QNetworkProxy::NoProxy);
        shared->setCache(nullptr);
    }
    return shared;
}

QCoro::Task<std::expected<HTTPReply, QString>> NetworkAccessTransport::send(HTTPRequest request) {
    if (!m_manager)
        co_return std::unexpected(u"The application's network access has already been shut down."_s);
    const std::unique_ptr<QNetworkReply, DeleteLater> reply(
        request.body ? m_manager->sendCustomRequest(networkRequest(request), request.method, *request.body)
                     : m_manager->sendCustomRequest(networkRequest(request), request.method));

    constexpr qsizetype readLimit = SetupClient::maxReplyBytes + 1;
    // Qt stops taking bytes from the socket once this much waits unread, so a huge reply never piles up.
    reply->setReadBufferSize(readLimit);
    QByteArray body;
    bool oversized = false;
    bool timedOut = false;
    const auto take = [&] {
        // Only what has arrived: read(n) sets aside n bytes first, and a reply kept that size.
        body += reply->read(std::min(reply->bytesAvailable(), readLimit - body.size()));
        if (body.size() >= readLimit && !oversized) {
            oversized = true;
            abortSoon(reply.get());
        }
    };
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    // Connections made with `deadline` as context end with this exchange.
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &deadline, take);
    QObject::connect(&deadline, &QTimer::timeout, &deadline, [&] {
        timedOut = true;
        abortSoon(reply.get());
    });
    deadline.start(request.timeout);

    if (!reply->isFinished())
        co_await qCoro(reply.get(), &QNetworkReply::finished);
    deadline.stop();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (timedOut && reply->error() == QNetworkReply::OperationCanceledError)
        co_return std::unexpected(u"No answer within %1 ms."_s.arg(request.timeout.count()));
    if (!status.isValid())
        co_return std::unexpected(reply->errorString());
    if (!oversized)
        take();
    co_return HTTPReply{.status = status.toInt(), .body = std::move(body)};
}

} // namespace corvane
