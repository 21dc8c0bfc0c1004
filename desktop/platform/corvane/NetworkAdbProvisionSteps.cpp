#include "NetworkAdbProvisionSteps.h"

#include <corvane/ProcessRelease.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTimer>
#include <qcoroprocess.h>
#include <qcorosignal.h>

#include <cstdio>
#include <memory>
#include <unistd.h>

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

NetworkAdbProvisionSteps::NetworkAdbProvisionSteps(std::chrono::milliseconds stallLimit, QString unzip)
    : m_stallLimit(stallLimit)
    , m_unzip(std::move(unzip)) {}

QNetworkAccessManager* NetworkAdbProvisionSteps::manager() {
    if (!m_manager) {
        m_manager = new QNetworkAccessManager(QCoreApplication::instance());
        m_manager->setCache(nullptr);
    }
    return m_manager;
}

QCoro::Task<std::expected<FetchedDocument, QString>> NetworkAdbProvisionSteps::read(QUrl from) {
    const Reply reply(manager()->get(requestFor(from)));
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

QCoro::Task<std::expected<void, QString>> NetworkAdbProvisionSteps::download(QUrl from, QString to,
                                                                             DownloadProgress progress) {
    if (!QDir().mkpath(QFileInfo(to).absolutePath()))
        co_return std::unexpected(u"Could not make the folder for %1."_s.arg(to));
    // Written beside the destination and moved there whole: a stopped download leaves nothing at `to`.
    QFile part(to + u".part"_s);
    if (!part.open(QIODevice::WriteOnly | QIODevice::Truncate))
        co_return std::unexpected(part.errorString());
    const Reply reply(manager()->get(requestFor(from)));
    if (progress)
        QObject::connect(reply.get(), &QNetworkReply::downloadProgress, reply.get(), progress);
    qint64 written = 0;
    const auto take = [&part, &written](const QByteArray& bytes) {
        written += bytes.size();
        return written <= maxArchiveBytes && part.write(bytes) == bytes.size();
    };
    QCoro::Task<std::expected<void, QString>> transferring = transfer(reply.get(), m_stallLimit, take);
    const std::expected<void, QString> done = co_await std::move(transferring);
    const bool flushed = part.flush();
    part.close();
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

QCoro::Task<std::expected<void, QString>> NetworkAdbProvisionSteps::unpack(QString archive, QString into) {
    auto process = std::make_unique<QProcess>();
    process->setProgram(m_unzip);
    // adb alone, whatever else the archive holds.
    process->setArguments({u"-o"_s, u"-q"_s, archive, u"platform-tools/adb"_s, u"-d"_s, into});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start();
    auto running = qCoro(process.get());
    const bool started = co_await running.waitForStarted();
    const bool finished = started && co_await running.waitForFinished(std::chrono::minutes(2));
    const bool succeeded =
        finished && process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    if (started && !finished)
        process->kill();
    releaseUntilFinished(std::move(process));
    if (!started)
        co_return std::unexpected(u"unzip could not be started."_s);
    if (!succeeded || !QFileInfo(into + u"/platform-tools/adb"_s).isFile())
        co_return std::unexpected(u"unzip could not expand %1."_s.arg(archive));
    co_return std::expected<void, QString>{};
}

std::expected<void, QString> NetworkAdbProvisionSteps::install(QString executable, QString at) {
    if (!QDir().mkpath(QFileInfo(at).absolutePath()))
        return std::unexpected(u"Could not make the folder for %1."_s.arg(at));
    const QString part = at + u".part"_s;
    QFile::remove(part);
    const auto fail = [&](const QString& why) {
        QFile::remove(part);
        return std::unexpected(why);
    };
    if (!QFile::copy(executable, part))
        return fail(u"Could not copy %1."_s.arg(executable));
    if (!QFile::setPermissions(part, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                         QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                         QFile::ExeOther))
        return fail(u"Could not make %1 executable."_s.arg(part));
    // A rename replaces whatever was there in one step.
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(at).constData()) != 0)
        return fail(u"Could not put adb at %1."_s.arg(at));
    return {};
}

void NetworkAdbProvisionSteps::discard(QString path) {
    const QFileInfo target(path);
    if (target.isDir() && !target.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

} // namespace corvane
