#pragma once

#include <QByteArray>
#include <QString>

namespace corvane {

// Checks that a downloaded update is the one its publisher signed: an Ed25519 signature (64 bytes)
// over the whole file, against the application's public key (32 bytes).
class UpdateSignatureVerifier {
public:
    virtual ~UpdateSignatureVerifier() = default;
    virtual bool verify(const QString& path, const QByteArray& signature,
                        const QByteArray& publicKey) const = 0;
};

} // namespace corvane
