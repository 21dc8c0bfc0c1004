#pragma once

#include <corvane/shell/UpdateSignatureVerifier.h>

namespace corvane {

// Ed25519 through libsodium. The file is mapped, not read, so a large archive costs no copy; anything
// that is not exactly a 64-byte signature, a 32-byte key and a readable file fails.
class SodiumSignatureVerifier final : public UpdateSignatureVerifier {
public:
    SodiumSignatureVerifier();
    bool verify(const QString& path, const QByteArray& signature, const QByteArray& publicKey) const override;

private:
    bool m_ready = false;
};

} // namespace corvane
