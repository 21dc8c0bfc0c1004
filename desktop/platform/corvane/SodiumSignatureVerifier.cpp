#include "SodiumSignatureVerifier.h"

#include <QFile>
#include <QFuture>
#include <QtConcurrent/QtConcurrentRun>
#include <qcorofuture.h>

#include <sodium.h>

namespace corvane {

SodiumSignatureVerifier::SodiumSignatureVerifier()
    : m_ready(sodium_init() >= 0) {}

namespace {

bool verifyNow(const QString& path, const QByteArray& signature, const QByteArray& publicKey) {
    if (signature.size() != crypto_sign_BYTES || publicKey.size() != crypto_sign_PUBLICKEYBYTES)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    // An empty file cannot be mapped; its signature is checked over no bytes.
    static const unsigned char nothing = 0;
    unsigned char* const mapped = size > 0 ? file.map(0, size) : nullptr;
    if (size > 0 && !mapped)
        return false;
    const unsigned char* bytes = mapped ? mapped : &nothing;
    const bool genuine =
        crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.constData()), bytes,
                                    static_cast<unsigned long long>(size),
                                    reinterpret_cast<const unsigned char*>(publicKey.constData())) == 0;
    if (mapped)
        file.unmap(mapped);
    return genuine;
}

} // namespace

QCoro::Task<bool> SodiumSignatureVerifier::verify(QString path, QByteArray signature,
                                                  QByteArray publicKey) const {
    if (!m_ready)
        co_return false;
    QFuture<bool> checking = QtConcurrent::run(verifyNow, path, signature, publicKey);
    co_return co_await std::move(checking);
}

} // namespace corvane
