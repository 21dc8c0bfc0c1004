#pragma once

#include <QByteArray>
#include <QString>

#include <expected>
#include <optional>

class QDebug;

namespace corvane {

// The admin secret of one run: 32 random bytes as 64 lowercase hex characters. It is never shown:
// every textual form of it, and of anything holding it, reads "LocalAdminSecret(****)".
class LocalAdminSecret {
public:
    enum class MintError { randomnessUnavailable };

    static constexpr int hexLength = 64;
    static constexpr QStringView redacted = u"LocalAdminSecret(****)";

    static std::expected<LocalAdminSecret, MintError> mint();
    // Nothing unless `hex` is exactly 64 characters of 0-9 and a-f.
    static std::optional<LocalAdminSecret> fromHex(const QString& hex);

    const QString& hex() const { return m_hex; }

    // {"adminSecret":"<hex>"} and a line feed: the 83 bytes the server reads on its standard input.
    QByteArray handoverLine() const;

    // Copies the secret (no line feed) into a file only its owner can read, for an outside tool.
    std::expected<void, QString> writeHexForSmoke(const QString& path) const;

    QString toString() const { return redacted.toString(); }

    bool operator==(const LocalAdminSecret&) const = default;

private:
    explicit LocalAdminSecret(QString hex);
    QString m_hex;
};

QDebug operator<<(QDebug debug, const LocalAdminSecret& secret);

} // namespace corvane
