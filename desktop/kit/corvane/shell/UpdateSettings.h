#pragma once

#include <corvane/shell/InfoDictionary.h>

#include <QString>

namespace corvane {

// Whether this copy keeps itself up to date, and which version it is.
struct UpdateSettings {
    // Only with a feed it may trust (https with a host, or http://localhost in the test copy) and a
    // well-formed Ed25519 public key to check what the feed offers.
    bool updatesItself = false;
    // The short version string; empty when the Info dictionary has none.
    QString version;

    static UpdateSettings from(const InfoDictionary& info);
    bool operator==(const UpdateSettings&) const = default;
};

} // namespace corvane
