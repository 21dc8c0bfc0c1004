#pragma once

#include <corvane/glasses/AdbProvisioner.h>

namespace corvane {

// Checks a downloaded file against the SHA-1 digest its publisher lists for it ("sha1:" and 40 hex
// digits); any other requirement is not met.
class Sha1DigestVerifier final : public CodeSignatureVerifier {
public:
    bool satisfies(const QString& path, const QString& requirement) const override;
};

} // namespace corvane
