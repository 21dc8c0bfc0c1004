#pragma once

#include <corvane/shell/InfoDictionary.h>
#include <corvane/updates/AppcastUpdater.h>

#include <memory>

namespace corvane {

// The updater of the application in `folder`, over Qt Network, unzip and libsodium; none for a copy
// that does not update itself.
std::unique_ptr<Updater>
platformUpdater(const InfoDictionary& info, const QString& folder, std::shared_ptr<Defaults> defaults,
                std::chrono::milliseconds checkInterval = AppcastUpdater::standardInterval);

} // namespace corvane
