#pragma once

#include <corvane/glasses/AdbProvisioner.h>

#include <corvane/NetworkFileFetcher.h>

#include <chrono>

namespace corvane {

// Fetches through Qt Network into a private folder made for each fetch under `workingParent`, unpacks
// with Debian's unzip, and installs by copying beside the destination and renaming, so adb appears
// where it is looked for only once it is whole.
class NetworkAdbProvisionSteps final : public AdbProvisionSteps {
public:
    // `stallLimit`: how long a transfer may go without a byte before it is given up.
    explicit NetworkAdbProvisionSteps(QString workingParent,
                                      std::chrono::milliseconds stallLimit = std::chrono::seconds(60),
                                      QString unzip = QStringLiteral("unzip"));

    std::expected<QString, QString> makeWorkingFolder() override;
    QCoro::Task<std::expected<FetchedDocument, QString>> read(QUrl from) override;
    QCoro::Task<std::expected<void, QString>> download(QUrl from, QString to, qint64 declaredLength,
                                                       DownloadProgress progress) override;
    QCoro::Task<std::expected<void, QString>> unpack(QString archive, QString into) override;
    std::expected<void, QString> install(QString executable, QString at) override;
    void stopTransfers() override;
    void discard(QString path) override;

private:
    QString m_workingParent;
    NetworkFileFetcher m_fetcher;
    QString m_unzip;
};

} // namespace corvane
