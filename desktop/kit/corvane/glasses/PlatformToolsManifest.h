#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace corvane {

// The Linux platform-tools archive as Google's SDK repository manifest lists it: its file name in
// the repository, its SHA-1 digest (40 hex digits, lower case) and its size in bytes.
struct PlatformToolsArchive {
    QString fileName;
    QString sha1;
    qint64 size = 0;
    bool operator==(const PlatformToolsArchive&) const = default;
};

namespace PlatformToolsManifest {

// The stable platform-tools package's archive for Linux. Nothing when the manifest is not XML, lists
// no such archive, or lists one whose name is not a plain file name or whose digest is not SHA-1.
std::optional<PlatformToolsArchive> linuxArchive(const QByteArray& manifest);

} // namespace PlatformToolsManifest

} // namespace corvane
