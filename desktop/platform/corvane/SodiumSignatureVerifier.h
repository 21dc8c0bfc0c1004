#pragma once

#include <corvane/updates/UpdateSignatureVerifier.h>

namespace corvane {

// Ed25519 through libsodium, on a worker thread so the screens keep answering while a large archive
// is checked. The file is mapped, not read, so it costs no copy; anything that is not exactly a
// 64-byte signature, a 32-byte key and a readable file fails.
class SodiumSignatureVerifier final : public UpdateSignatureVerifier {
public:
    SodiumSignatureVerifier();
    QCoro::Task<bool> verify(QString path, QByteArray signature, QByteArray publicKey) const override;

private:
    bool m_ready = false;
};

} // namespace corvane
