#include "AdbLocator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

std::optional<QString> AdbSource::path() const {
    if (const auto* onDisk = std::get_if<OnDisk>(&value))
        return onDisk->path;
    return std::nullopt;
}

std::optional<bool> AdbSource::isOurs() const {
    if (const auto* onDisk = std::get_if<OnDisk>(&value))
        return onDisk->isOurs;
    return std::nullopt;
}

bool AdbLocator::isExecutableFile(const QString& path) {
    const QFileInfo file(path);
    return file.isFile() && file.isExecutable();
}

QString AdbLocator::managedPath(const QString& applicationSupport) {
    return applicationSupport + u"/platform-tools/adb"_s;
}

QStringList AdbLocator::candidates(const QString& home, const QString& applicationSupport) const {
    QStringList places{managedPath(applicationSupport)};
    for (const QString& sdk : {u"ANDROID_HOME"_s, u"ANDROID_SDK_ROOT"_s})
        if (const QString root = environment.value(sdk); !root.isEmpty())
            places.append(QDir::cleanPath(root) + u"/platform-tools/adb"_s);
    places.append({home + u"/Android/Sdk/platform-tools/adb"_s,
                   home + u"/Library/Android/sdk/platform-tools/adb"_s,
                   u"/usr/lib/android-sdk/platform-tools/adb"_s});
    for (const QString& searchPath : {environment.value(u"PATH"_s), loginShellPath})
        for (const QString& folder : searchPath.split(u':', Qt::SkipEmptyParts))
            if (QDir::isAbsolutePath(folder)) // a relative entry would depend on where Kestrin was started
                places.append(QDir::cleanPath(folder) + u"/adb"_s);
    places.append({u"/opt/homebrew/bin/adb"_s, u"/usr/local/bin/adb"_s, u"/usr/bin/adb"_s});
    places.removeDuplicates();
    return places;
}

AdbSource AdbLocator::locate(const QString& home, const QString& applicationSupport) const {
    const QString ours = managedPath(applicationSupport);
    for (const QString& candidate : candidates(home, applicationSupport))
        if (exists(candidate))
            return {AdbSource::OnDisk{candidate, candidate == ours}};
    return {};
}

// std::filesystem rather than QDir, whose removal keeps the system's reason for a failure to itself.
std::expected<void, QString> AdbLocator::removeManaged(const QString& applicationSupport) {
    const std::filesystem::path folder(
        QFile::encodeName(applicationSupport + u"/platform-tools"_s).toStdString());
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    if (error)
        return std::unexpected(QString::fromLocal8Bit(error.message()) + u'.');
    return {};
}

} // namespace corvane
