#pragma once

// What an update test needs from a publisher: a key pair the test makes, application folders with a
// given version and identifier, a zip of one, and a feed that offers it signed.

#include "TestSupport.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <sodium.h>

struct UpdateKeyPair {
    QByteArray publicKey{crypto_sign_PUBLICKEYBYTES, '\0'};
    QByteArray secretKey{crypto_sign_SECRETKEYBYTES, '\0'};
    UpdateKeyPair() {
        if (sodium_init() < 0)
            qFatal("libsodium could not start");
        crypto_sign_keypair(reinterpret_cast<unsigned char*>(publicKey.data()),
                            reinterpret_cast<unsigned char*>(secretKey.data()));
    }
    QByteArray sign(const QByteArray& bytes) const {
        QByteArray signature(crypto_sign_BYTES, '\0');
        crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                             reinterpret_cast<const unsigned char*>(bytes.constData()),
                             static_cast<unsigned long long>(bytes.size()),
                             reinterpret_cast<const unsigned char*>(secretKey.constData()));
        return signature;
    }
};

inline void writeFile(const QString& path, const QByteArray& bytes, bool executable = false) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("could not write %s", qPrintable(path));
    file.write(bytes);
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
}

// An application folder whose kestrin (and kestrin-tray) is a script that prints `says`, with a
// stand-in network module, and whose Info.json has the
// identifier and version (and the extra keys).
inline void makeApplicationFolder(const QString& folder, const QString& identifier, const QString& version,
                                  const QByteArray& says, QJsonObject info = {}) {
    writeFile(folder + QStringLiteral("/Contents/bin/kestrin"), "#!/bin/sh\necho '" + says + "'\n", true);
    writeFile(folder + QStringLiteral("/Contents/bin/kestrin-tray"), "#!/bin/sh\necho '" + says + "'\n",
              true);
    writeFile(folder + QStringLiteral("/Contents/lib/kestrin-network.so"), "the network module");
    info.insert(QStringLiteral("CFBundleIdentifier"), identifier);
    info.insert(QStringLiteral("CFBundleShortVersionString"), version);
    writeFile(folder + QStringLiteral("/Contents/Info.json"), QJsonDocument(info).toJson());
}

// A zip of `folder`, with the folder itself as its one top entry, the way an update is published.
// `stored`: without compression, which is quicker for a large folder.
inline QByteArray zipOf(const QString& folder, bool stored = false) {
    QTemporaryDir out;
    const QString archive = out.filePath(QStringLiteral("update.zip"));
    QProcess zip;
    zip.setWorkingDirectory(QFileInfo(folder).absolutePath());
    zip.start(QStringLiteral("zip"),
              {QStringLiteral("-q"), QStringLiteral("-r"), QStringLiteral("-y"),
               stored ? QStringLiteral("-0") : QStringLiteral("-6"), archive, QFileInfo(folder).fileName()});
    if (!zip.waitForFinished(120000) || zip.exitCode() != 0)
        qFatal("zip failed");
    return contentOf(archive);
}

// A feed with one item: the version, where its archive is, the archive's length and its signature.
inline QByteArray feedOffering(const QString& version, const QString& url, qint64 length,
                               const QByteArray& signature,
                               const QString& notes = QStringLiteral("Calmer.")) {
    return QStringLiteral(R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
  <channel><title>Kestrin</title>
    <item><title>Version %1</title><sparkle:version>%1</sparkle:version>
      <description><![CDATA[<p>%5</p>]]></description>
      <enclosure url="%2" length="%3" type="application/octet-stream" sparkle:edSignature="%4"/>
    </item>
  </channel>
</rss>
)")
        .arg(version, url, QString::number(length), QString::fromLatin1(signature.toBase64()), notes)
        .toUtf8();
}
