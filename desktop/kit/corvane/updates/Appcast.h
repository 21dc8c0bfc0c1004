#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace corvane {

// One update a feed offers: its versions, where its archive is and how long, the archive's Ed25519
// signature (64 bytes), and its release notes as plain text.
struct AppcastItem {
    QString version;      // the build's version, compared to find the newest
    QString shortVersion; // shown to people; the version when the feed gives none
    QUrl url;
    qint64 length = 0;
    QByteArray edSignature;
    QString releaseNotes;
    bool operator==(const AppcastItem&) const = default;
};

namespace Appcast {

// At most this many items are read from one feed; the rest are ignored.
inline constexpr qsizetype maxItems = 200;

// The items of an RSS 2.0 feed in the signed-appcast format. An item without a version, an http or
// https archive address, a positive length or a well-formed signature is skipped (the signature, not
// the address, vouches for the archive); a feed that is not XML gives what was read before the fault.
QList<AppcastItem> items(const QByteArray& feed);

// Negative, zero or positive as `a` is older than, the same as or newer than `b`. Versions are compared
// piece by piece: numbers as numbers, letters as text; "1.0" is newer than "1.0b2" and older than
// "1.0.1".
int compareVersions(QStringView a, QStringView b);

// The newest item newer than `current`, if any.
std::optional<AppcastItem> newest(const QList<AppcastItem>& items, QStringView current);

} // namespace Appcast

} // namespace corvane
