#pragma once

#include <corvane/glasses/AdbProvisioner.h>

#include <QPointer>

#include <chrono>

class QNetworkAccessManager;

namespace corvane {

// Fetches through Qt Network (the system's proxy settings apply; redirects only to addresses no less
// safe), unpacks with Debian's unzip, and installs by copying beside the destination and renaming,
// so adb appears where it is looked for only once it is whole.
class NetworkAdbProvisionSteps final : public AdbProvisionSteps {
public:
    static constexpr qint64 maxDocumentBytes = 32 * 1024 * 1024;
    static constexpr qint64 maxArchiveBytes = 512 * 1024 * 1024;

    // `stallLimit`: how long a transfer may go without a byte before it is given up.
    explicit NetworkAdbProvisionSteps(std::chrono::milliseconds stallLimit = std::chrono::seconds(60),
                                      QString unzip = QStringLiteral("unzip"));

    QCoro::Task<std::expected<FetchedDocument, QString>> read(QUrl from) override;
    QCoro::Task<std::expected<void, QString>> download(QUrl from, QString to,
                                                       DownloadProgress progress) override;
    QCoro::Task<std::expected<void, QString>> unpack(QString archive, QString into) override;
    std::expected<void, QString> install(QString executable, QString at) override;
    void discard(QString path) override;

private:
    QNetworkAccessManager* manager();

    std::chrono::milliseconds m_stallLimit;
    QString m_unzip;
    QPointer<QNetworkAccessManager> m_manager;
};

} // namespace corvane
