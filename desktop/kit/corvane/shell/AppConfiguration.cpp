#include "AppConfiguration.h"

#include <QStandardPaths>

#include <algorithm>

namespace corvane::AppConfiguration {

namespace {

// Strict base-10: an optional single sign, then ASCII digits only; overflow of 64 bits does not parse.
std::optional<qint64> parseStrictInteger(const QString& text) {
    const QStringView digits = QStringView(text).mid(text.startsWith(u'+') || text.startsWith(u'-') ? 1 : 0);
    if (digits.isEmpty() || !std::ranges::all_of(digits, [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    return ok ? std::optional(value) : std::nullopt;
}

} // namespace

int resolvePort(const Environment& environment) {
    const QString value = environment.value(portVariable.toString());
    if (value.isEmpty())
        return defaultPort;
    const std::optional<qint64> number = parseStrictInteger(value);
    if (!number || *number < 1 || *number > 65535)
        return defaultPort;
    return static_cast<int>(*number);
}

std::optional<QString> resolveRepoRoot(const Environment& environment,
                                       const std::optional<QString>& bundledValue) {
    const QString fromEnvironment = environment.value(repoRootVariable.toString());
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    if (bundledValue && !bundledValue->isEmpty())
        return bundledValue;
    return std::nullopt;
}

Environment resolveExtraServerEnvironment(const Environment& environment) {
    Environment extra;
    for (auto entry = environment.cbegin(); entry != environment.cend(); ++entry) {
        if (!entry.key().startsWith(serverSettingPrefix))
            continue;
        const QString name = entry.key().mid(serverSettingPrefix.size());
        if (!name.isEmpty())
            extra.insert(name, entry.value());
    }
    return extra;
}

QString applicationSupportDirectory(const std::optional<QString>& bundleIdentifier, const QString& home,
                                    const QStringList& dataLocations) {
    const QString base =
        dataLocations.isEmpty() ? home + QStringLiteral("/.local/share") : dataLocations.first();
    return base + u'/' + bundleIdentifier.value_or(defaultBundleIdentifier.toString());
}

QString applicationSupportDirectory(const std::optional<QString>& bundleIdentifier, const QString& home) {
    return applicationSupportDirectory(
        bundleIdentifier, home, QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation));
}

QString cacheDirectory(const std::optional<QString>& bundleIdentifier) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + u'/' +
           bundleIdentifier.value_or(defaultBundleIdentifier.toString());
}

} // namespace corvane::AppConfiguration
