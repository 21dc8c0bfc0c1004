// An update's Ed25519 signature checked with libsodium, with a key pair the test makes: the signed file
// passes; a changed byte, another key, a signature of the wrong length or a missing file do not.

#include "support/UpdateFixture.h"

#include <corvane/SodiumSignatureVerifier.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <qcorotask.h>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

QString written(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes) {
    writeFile(folder.filePath(name), bytes);
    return folder.filePath(name);
}

// The verifier's answer, waited for.
bool checks(const SodiumSignatureVerifier& verifier, const QString& path, const QByteArray& signature,
            const QByteArray& publicKey) {
    return QCoro::waitFor(verifier.verify(path, signature, publicKey));
}

} // namespace

class TestUpdateSignature : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(sodium_init() >= 0); }

    void onlyTheSignedFilePasses() {
        QTemporaryDir folder;
        const UpdateKeyPair publisher;
        const UpdateKeyPair someoneElse;
        QByteArray archive(3 * 1024 * 1024, 'k');
        archive[12345] = 'x';
        const QByteArray signature = publisher.sign(archive);
        const SodiumSignatureVerifier verifier;

        QVERIFY(checks(verifier, written(folder, u"good"_s, archive), signature, publisher.publicKey));
        QByteArray tampered = archive;
        tampered[2000000] = 'y';
        QVERIFY(!checks(verifier, written(folder, u"tampered"_s, tampered), signature, publisher.publicKey));
        QVERIFY(!checks(verifier, folder.filePath(u"good"_s), signature, someoneElse.publicKey));
        QVERIFY(!checks(verifier, folder.filePath(u"good"_s), signature.left(63), publisher.publicKey));
        QVERIFY(!checks(verifier, folder.filePath(u"good"_s), signature, publisher.publicKey.left(31)));
        QVERIFY(!checks(verifier, folder.filePath(u"missing"_s), signature, publisher.publicKey));
        QVERIFY(checks(verifier, written(folder, u"empty"_s, {}), publisher.sign({}), publisher.publicKey));
    }

    // The publisher's recipe in the README: a key made, its public half taken out and an archive signed
    // with OpenSSL's command line, checked here as an update is checked.
    void theReadmesOpensslRecipeSignsUpdates() {
        QTemporaryDir folder;
        const auto run = [&](const QString& command) {
            QProcess shell;
            shell.setWorkingDirectory(folder.path());
            shell.start(u"sh"_s, {u"-c"_s, command});
            if (!shell.waitForFinished(30000) || shell.exitCode() != 0)
                qWarning() << command << shell.readAllStandardError();
            return shell.readAllStandardOutput().trimmed();
        };
        written(folder, u"Kestrin-0.2.0.zip"_s, QByteArray(200000, 'z'));
        run(u"openssl genpkey -algorithm ed25519 -out kestrin-updates.pem"_s);
        const QByteArray publicKey = QByteArray::fromBase64(
            run(u"openssl pkey -in kestrin-updates.pem -pubout -outform DER | tail -c 32 | base64"_s));
        const QByteArray signature = QByteArray::fromBase64(run(
            u"openssl pkeyutl -sign -inkey kestrin-updates.pem -rawin -in Kestrin-0.2.0.zip | base64 -w0"_s));
        QCOMPARE(publicKey.size(), 32);
        QCOMPARE(signature.size(), 64);
        const SodiumSignatureVerifier verifier;
        QVERIFY(checks(verifier, folder.filePath(u"Kestrin-0.2.0.zip"_s), signature, publicKey));
        written(folder, u"Kestrin-0.2.0.zip"_s, QByteArray(200000, 'y'));
        QVERIFY(!checks(verifier, folder.filePath(u"Kestrin-0.2.0.zip"_s), signature, publicKey));
    }
};

QTEST_GUILESS_MAIN(TestUpdateSignature)
#include "tst_UpdateSignature.moc"
