#pragma once

#include <corvane/shell/InfoDictionary.h>
#include <corvane/updates/AppcastUpdater.h>

#include <memory>

namespace corvane {

// Whether other accounts can write in the folder that holds the application folder `folder` (a shared
// or group folder): there they could put a copy of their own in its place before a quit.
bool othersCanWriteBeside(const QString& folder);

// The updater of the application in `folder`, fetching through `fetcher`, unpacking with unzip and
// checking with libsodium; none for a copy that does not update itself, or that sits where others can
// write beside it.
std::unique_ptr<Updater>
platformUpdater(const InfoDictionary& info, const QString& folder, std::shared_ptr<Defaults> defaults,
                std::shared_ptr<FileFetcher> fetcher,
                std::chrono::milliseconds checkInterval = AppcastUpdater::standardInterval);

} // namespace corvane
