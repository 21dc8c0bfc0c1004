// The network module's one entry: the fetcher over Qt Network that ModuleFileFetcher loads.
#include <corvane/NetworkFileFetcher.h>

#include <QtGlobal>

#include <memory>

extern "C" Q_DECL_EXPORT void kestrinMakeFileFetcher(qint64 stallMilliseconds,
                                                     std::unique_ptr<corvane::FileFetcher>* made) {
    *made = std::make_unique<corvane::NetworkFileFetcher>(std::chrono::milliseconds(stallMilliseconds));
}
