#include "BundledGlassesApp.h"

namespace corvane::BundledGlassesAppLocator {

std::optional<BundledGlassesApp> resolve(const std::optional<QString>& resourcesDirectory,
                                         const std::optional<QString>& version,
                                         const std::optional<QString>& buildNumber,
                                         const std::function<std::optional<qint64>(const QString&)>& sizeOf) {
    if (!resourcesDirectory || !version || version->isEmpty())
        return std::nullopt;
    const QString path = *resourcesDirectory + u'/' + resourceName.toString();
    const std::optional<qint64> size = sizeOf(path);
    if (!size || *size < 1)
        return std::nullopt;
    std::optional<qint64> build;
    if (buildNumber) {
        bool isNumber = false;
        const qint64 parsed = buildNumber->toLongLong(&isNumber);
        if (isNumber && !buildNumber->isEmpty() && !buildNumber->front().isSpace() &&
            !buildNumber->back().isSpace())
            build = parsed;
    }
    return BundledGlassesApp{path, *size, *version, build};
}

} // namespace corvane::BundledGlassesAppLocator
