#include "PlatformUpdater.h"

#include <corvane/PrivateFolder.h>
#include <corvane/SodiumSignatureVerifier.h>
#include <corvane/UnzipUpdateUnpacker.h>

#include <QFileInfo>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

bool othersCanWriteBeside(const QString& folder) {
    return othersMayWriteIn(QFileInfo(folder).absolutePath());
}

std::unique_ptr<Updater> platformUpdater(const InfoDictionary& info, const QString& folder,
                                         std::shared_ptr<Defaults> defaults,
                                         std::shared_ptr<FileFetcher> fetcher,
                                         std::chrono::milliseconds checkInterval) {
    std::optional<UpdateSource> source = UpdateSettings::source(info);
    if (!source || othersCanWriteBeside(folder))
        return nullptr;
    const QString shortVersion = stringEntry(info, u"CFBundleShortVersionString"_s).value_or(QString());
    AppcastUpdater::Application application{
        .source = std::move(*source),
        .bundleIdentifier =
            stringEntry(info, u"CFBundleIdentifier"_s).value_or(u"com.mossgate.corvane.mac"_s),
        .version = stringEntry(info, u"CFBundleVersion"_s).value_or(shortVersion),
        .shortVersion = shortVersion,
        .folder = folder,
    };
    AppcastUpdater::Seams seams{
        .fetcher = std::move(fetcher),
        .unpacker = std::make_shared<UnzipUpdateUnpacker>(),
        .verifier = std::make_shared<SodiumSignatureVerifier>(),
        .defaults = std::move(defaults),
    };
    return std::make_unique<AppcastUpdater>(std::move(application), std::move(seams), checkInterval);
}

} // namespace corvane
