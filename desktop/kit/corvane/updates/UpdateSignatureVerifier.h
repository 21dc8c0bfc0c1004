#pragma once

#include <QByteArray>
#include <QString>
#include <qcorotask.h>

namespace corvane {

// Checks that a downloaded update is the one its publisher signed: an Ed25519 signature (64 bytes)
// over the whole file, against the application's public key (32 bytes). Reading a large archive
// takes a while, so the answer comes when it is ready.
class UpdateSignatureVerifier {
public:
    virtual ~UpdateSignatureVerifier() = default;
    virtual QCoro::Task<bool> verify(QString path, QByteArray signature, QByteArray publicKey) const = 0;
};

} // namespace corvane
