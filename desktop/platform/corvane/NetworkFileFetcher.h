#pragma once

#include <corvane/support/FileFetcher.h>

#include <QList>
#include <QPointer>

#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;

namespace corvane {

// Fetches through Qt Network: the system's proxy settings apply, redirects go only to addresses no
// less safe, nothing is cached, and a transfer that goes too long without a byte is given up.
class NetworkFileFetcher final : public FileFetcher {
public:
    static constexpr qint64 maxDocumentBytes = 32 * 1024 * 1024;
    static constexpr qint64 maxFileBytes = 512 * 1024 * 1024;

    // `stallLimit`: how long a transfer may go without a byte before it is given up.
    explicit NetworkFileFetcher(std::chrono::milliseconds stallLimit = std::chrono::seconds(60));

    QCoro::Task<std::expected<FetchedDocument, QString>> read(QUrl from) override;
    QCoro::Task<std::expected<void, QString>> download(QUrl from, QString to, qint64 declaredLength,
                                                       DownloadProgress progress) override;
    void stopTransfers() override;
    void discard(QString path) override;

private:
    QNetworkReply* get(const QUrl& url);

    std::chrono::milliseconds m_stallLimit;
    QPointer<QNetworkAccessManager> m_manager;
    QList<QPointer<QNetworkReply>> m_replies;
};

} // namespace corvane
