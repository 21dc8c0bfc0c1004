#pragma once

#include <corvane/support/FileFetcher.h>

#include <chrono>
#include <memory>

namespace corvane {

// Fetches through the network module (Qt Network behind the same seam), loaded at the first read or
// download and kept for the rest of the process: a Kestrin that never fetches from the internet never
// maps a network library at all. When the module cannot be loaded, each fetch fails and says why.
class ModuleFileFetcher final : public FileFetcher {
public:
    // The module's file name, and the symbol that makes its fetcher.
    static constexpr const char* fileName = "kestrin-network.so";
    static constexpr const char* makerSymbol = "kestrinMakeFileFetcher";

    // Where the module sits: in the lib folder beside the program's bin folder, in an application
    // folder and in a build alike.
    static QString besideProgram();

    // `stallLimit`: how long a transfer may go without a byte before it is given up.
    explicit ModuleFileFetcher(QString modulePath,
                               std::chrono::milliseconds stallLimit = std::chrono::seconds(60));
    ~ModuleFileFetcher() override;

    QCoro::Task<std::expected<FetchedDocument, QString>> read(QUrl from) override;
    QCoro::Task<std::expected<void, QString>> download(QUrl from, QString to, qint64 declaredLength,
                                                       DownloadProgress progress) override;
    void stopTransfers() override;
    void discard(QString path) override;

private:
    std::expected<FileFetcher*, QString> loaded();

    QString m_modulePath;
    std::chrono::milliseconds m_stallLimit;
    std::unique_ptr<FileFetcher> m_fetcher;
};

} // namespace corvane
