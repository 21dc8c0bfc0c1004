#include "NetworkFileFetcher.h"

#include <corvane/support/RemovePath.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <qcorosignal.h>

#include <memory>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};
using Reply = std::unique_ptr<QNetworkReply, DeleteLater>;

// Carries one transfer to its end: each chunk goes to `take`, which answers false to stop it; a
// transfer that goes `stallLimit` without a byte is stopped too. Answers why it failed, if it did.
QCoro::Task<std::expected<void, QString>> transfer(QNetworkReply* reply, std::chrono::milliseconds stallLimit,
                                                   std::function<bool(const QByteArray&)> take) {
    bool stalled = false;
    QString refused;
    QTimer stall;
    stall.setSingleShot(true);
    QObject::connect(&stall, &QTimer::timeout, &stall, [&] {
        stalled = true;
        QMetaObject::invokeMethod(reply, &QNetworkReply::abort, Qt::QueuedConnection);
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &stall, [&] {
        stall.start(stallLimit);
        if (!refused.isEmpty())
            return;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status != 200)
            refused = u"The server answered %1."_s.arg(status);
        else if (!take(reply->readAll()))
            refused = u"The transfer was stopped."_s;
        if (!refused.isEmpty())
            QMetaObject::invokeMethod(reply, &QNetworkReply::abort, Qt::QueuedConnection);
    });
    stall.start(stallLimit);
    if (!reply->isFinished())
        co_await qCoro(reply, &QNetworkReply::finished);
    stall.stop();
    if (stalled)
        co_return std::unexpected(u"Nothing arrived for %1 seconds."_s.arg(stallLimit.count() / 1000.0));
    if (!refused.isEmpty())
        co_return std::unexpected(refused);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError)
        co_return std::unexpected(reply->errorString());
    if (status != 200)
        co_return std::unexpected(u"The server answered %1."_s.arg(status));
    if (!take(reply->readAll()))
        co_return std::unexpected(u"The transfer was stopped."_s);
    co_return std::expected<void, QString>{};
}

QNetworkRequest requestFor(const QUrl& url) {
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    return request;
}

} // namespace

NetworkFileFetcher::NetworkFileFetcher(std::chrono::milliseconds stallLimit)
    : m_stallLimit(stallLimit) {}

QNetworkReply* NetworkFileFetcher::get(const QUrl& url) {
    if (!m_manager) {
        m_manager = new QNetworkAccessManager(QCoreApplication::instance());
        m_manager->setCache(nullptr);
    }
    m_replies.removeAll(nullptr);
    QNetworkReply* reply = m_manager->get(requestFor(url));
    m_replies.append(reply);
    return reply;
}

void NetworkFileFetcher::stopTransfers() {
    for (const QPointer<QNetworkReply>& reply : std::as_const(m_replies))
        if (reply)
            reply->abort();
    m_replies.clear();
}

QCoro::Task<std::expected<FetchedDocument, QString>> NetworkFileFetcher::read(QUrl from) {
    const Reply reply(get(from));
    FetchedDocument document;
    const auto take = [&document](const QByteArray& bytes) {
        document.content += bytes;
        return document.content.size() <= maxDocumentBytes;
    };
    // Made apart from the co_await: GCC 12 mishandles temporaries built inside one.
    QCoro::Task<std::expected<void, QString>> transferring = transfer(reply.get(), m_stallLimit, take);
    const std::expected<void, QString> done = co_await std::move(transferring);
    if (!done)
        co_return std::unexpected(done.error());
    co_return document;
}

QCoro::Task<std::expected<void, QString>>
NetworkFileFetcher::download(QUrl from, QString to, qint64 declaredLength, DownloadProgress progress) {
    // A little over the declared length (a publisher rounding, say), and never past the cap.
    const qint64 limit = declaredLength > 0
                             ? std::min(declaredLength + declaredLength / 100 + 64 * 1024, maxFileBytes)
                             : maxFileBytes;
    if (!QDir().mkpath(QFileInfo(to).absolutePath()))
        co_return std::unexpected(u"Could not make the folder for %1."_s.arg(to));
    // Written beside the destination and moved there whole: a stopped download leaves nothing at `to`.
    QFile part(to + u".part"_s);
    if (!part.open(QIODevice::WriteOnly | QIODevice::Truncate))
        co_return std::unexpected(part.errorString());
    const Reply reply(get(from));
    if (progress)
        QObject::connect(reply.get(), &QNetworkReply::downloadProgress, reply.get(), progress);
    qint64 written = 0;
    const auto take = [&part, &written, limit](const QByteArray& bytes) {
        written += bytes.size();
        return written <= limit && part.write(bytes) == bytes.size();
    };
    QCoro::Task<std::expected<void, QString>> transferring = transfer(reply.get(), m_stallLimit, take);
    const std::expected<void, QString> done = co_await std::move(transferring);
    const bool flushed = part.flush();
    part.close();
    if (written > limit) {
        part.remove();
        co_return std::unexpected(u"More than the %1 bytes expected arrived."_s.arg(limit));
    }
    if (!done || !flushed) {
        part.remove();
        co_return std::unexpected(done ? part.errorString() : done.error());
    }
    QFile::remove(to);
    if (!part.rename(to)) {
        part.remove();
        co_return std::unexpected(part.errorString());
    }
    co_return std::expected<void, QString>{};
}

void NetworkFileFetcher::discard(QString path) {
    removePath(path);
}

} // namespace corvane
