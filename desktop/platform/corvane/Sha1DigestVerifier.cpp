#include "Sha1DigestVerifier.h"

#include <QCryptographicHash>
#include <QFile>

namespace corvane {

bool Sha1DigestVerifier::satisfies(const QString& path, const QString& requirement) const {
    const QString prefix = QStringLiteral("sha1:");
    if (!requirement.startsWith(prefix) || requirement.size() != prefix.size() + 40)
        return false;
    QFile file(path);
    QCryptographicHash digest(QCryptographicHash::Sha1);
    if (!file.open(QIODevice::ReadOnly) || !digest.addData(&file))
        return false;
    return QString::fromLatin1(digest.result().toHex()) == requirement.mid(prefix.size()).toLower();
}

} // namespace corvane
