#include "UnpackedCopy.h"

#include <corvane/shell/InfoDictionary.h>
#include <corvane/updates/Appcast.h>
#include <corvane/updates/UpdateAlert.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace corvane::UnpackedCopy {

using namespace Qt::Literals::StringLiterals;

namespace {

std::unexpected<Refusal> refused(QStringView words, QString why) {
    return std::unexpected(Refusal{words, std::move(why)});
}

// The copy's own version: its build version, else the version it shows.
QString versionOf(const InfoDictionary& info) {
    return stringEntry(info, u"CFBundleVersion"_s)
        .value_or(stringEntry(info, u"CFBundleShortVersionString"_s).value_or(QString()));
}

// Goes through everything in `folder`: links must lead inside it, the rest must be `owner`'s, and
// loses any permission to be written by others (and, with it, any set-id bit).
std::expected<void, Refusal> makeSafe(const QString& folder, uint owner) {
    const QString root = QFileInfo(folder).canonicalFilePath();
    QDirIterator entries(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QFileInfo entry(entries.next());
        if (entry.isSymLink()) {
            const QString target = entry.canonicalFilePath();
            if (target.isEmpty() || !(target == root || target.startsWith(root + u'/')))
                return refused(UpdateWords::unsafeCopy,
                               u"%1 is a link that leads outside the copy."_s.arg(entry.filePath()));
            continue;
        }
        if (entry.ownerId() != owner)
            return refused(UpdateWords::unsafeCopy,
                           u"%1 belongs to another account."_s.arg(entry.filePath()));
        const QFile::Permissions safe = entry.permissions() & ~(QFile::WriteGroup | QFile::WriteOther);
        if (!QFile::setPermissions(entry.filePath(), safe))
            return refused(UpdateWords::unsafeCopy, u"Could not set the mode of %1."_s.arg(entry.filePath()));
    }
    return {};
}

// What a copy cannot do without: the terminal face, the program it hands the tray to, and the module
// it fetches through; a copy without that module could never update again.
struct RequiredPart {
    QLatin1StringView path;
    bool runs;
};
constexpr RequiredPart requiredParts[] = {
    {QLatin1StringView("Contents/bin/kestrin"), true},
    {QLatin1StringView("Contents/bin/kestrin-tray"), true},
    {QLatin1StringView("Contents/lib/kestrin-network.so"), false},
};

} // namespace

std::expected<QString, Refusal> check(const QString& into, const QString& bundleIdentifier,
                                      const QString& offeredVersion, const QString& runningVersion) {
    const QFileInfoList entries =
        QDir(into).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    if (entries.size() != 1 || !entries.front().isDir() || entries.front().isSymLink())
        return refused(UpdateWords::notKestrin, u"The archive does not hold one folder."_s);
    const QString folder = entries.front().absoluteFilePath();
    const QFileInfo contents(folder + u"/Contents"_s);
    if (contents.isSymLink())
        return refused(UpdateWords::unsafeCopy, u"The copy's Contents is a link."_s);
    if (!contents.isDir())
        return refused(UpdateWords::notKestrin, u"The archive holds no Contents."_s);
    for (const auto& [path, runs] : requiredParts) {
        const QFileInfo part(folder + u'/' + path);
        if (part.isSymLink())
            return refused(UpdateWords::unsafeCopy, u"The copy's %1 is a link."_s.arg(path));
        if (!part.isFile() || (runs && !part.isExecutable()))
            return refused(UpdateWords::notKestrin, u"The archive holds no %1."_s.arg(path));
    }
    const InfoDictionary info = readInfoDictionary(folder + u"/Contents/Info.json"_s);
    const std::optional<QString> identifier = stringEntry(info, u"CFBundleIdentifier"_s);
    if (identifier != bundleIdentifier)
        return refused(UpdateWords::notKestrin,
                       u"The archive holds %1, not %2."_s.arg(identifier.value_or(u"no identifier"_s),
                                                              bundleIdentifier));
    // The feed is not signed: only the copy's own word, in the signed archive, says what it is.
    const QString version = versionOf(info);
    if (Appcast::compareVersions(version, offeredVersion) != 0)
        return refused(
            UpdateWords::notTheOffered,
            u"The archive holds version %1, not the %2 the feed offers."_s.arg(version, offeredVersion));
    if (Appcast::compareVersions(version, runningVersion) <= 0)
        return refused(UpdateWords::notTheOffered,
                       u"The archive holds version %1, which is not newer than this copy's %2."_s.arg(
                           version, runningVersion));
    if (auto safe = makeSafe(folder, QFileInfo(into).ownerId()); !safe)
        return std::unexpected(safe.error());
    return folder;
}

} // namespace corvane::UnpackedCopy
