#pragma once

#include <corvane/shell/InfoDictionary.h>

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

namespace corvane {

// Where a copy that keeps itself up to date looks for updates, and the key that vouches for them.
struct UpdateSource {
    QUrl feed;
    QByteArray publicKey; // Ed25519, 32 bytes
    bool operator==(const UpdateSource&) const = default;
};

// Whether this copy keeps itself up to date, and which version it is.
struct UpdateSettings {
    // Only with a feed it may trust (https with a host, or http://localhost in the test copy) and a
    // well-formed Ed25519 public key to check what the feed offers.
    bool updatesItself = false;
    // Installed by the system's package manager, which brings its updates (Info key "KestrinPackaged").
    bool packaged = false;
    // The short version string; empty when the Info dictionary has none.
    QString version;

    static UpdateSettings from(const InfoDictionary& info);
    // The feed and key of a copy that updates itself; none for any other.
    static std::optional<UpdateSource> source(const InfoDictionary& info);
    bool operator==(const UpdateSettings&) const = default;
};

} // namespace corvane
