#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace corvane {

// The glasses app shipped inside the application.
struct BundledGlassesApp {
    QString apkPath;
    qint64 apkSize = 0;
    QString version;
    std::optional<qint64> versionCode;
    bool operator==(const BundledGlassesApp&) const = default;
};

namespace BundledGlassesAppLocator {

inline constexpr QStringView resourceName = u"corvane-glasses.apk";
inline constexpr QStringView versionInfoKey = u"CVGlassesAppVersion";
inline constexpr QStringView buildInfoKey = u"CVGlassesAppBuild";

// The package in the resources folder with the version the application's information gives it;
// nothing when either is missing, the version is empty or the file is empty or absent.
std::optional<BundledGlassesApp> resolve(const std::optional<QString>& resourcesDirectory,
                                         const std::optional<QString>& version,
                                         const std::optional<QString>& buildNumber,
                                         const std::function<std::optional<qint64>(const QString&)>& sizeOf);

} // namespace BundledGlassesAppLocator

} // namespace corvane
