#pragma once

#include <corvane/glasses/AdbProvisioner.h>
#include <corvane/support/FileFetcher.h>

#include <memory>

namespace corvane {

// Fetches through `fetcher` into a private folder made for each fetch under `workingParent`, unpacks
// with Debian's unzip, and installs by copying beside the destination and renaming, so adb appears
// where it is looked for only once it is whole.
class NetworkAdbProvisionSteps final : public AdbProvisionSteps {
public:
    NetworkAdbProvisionSteps(QString workingParent, std::shared_ptr<FileFetcher> fetcher,
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
    std::shared_ptr<FileFetcher> m_fetcher;
    QString m_unzip;
};

} // namespace corvane
