// Updates end to end, in the real kestrin: a test copy whose feed is served by the test offers 0.2.0,
// signed with a key the test makes. In the terminal the update key lights, "update install" fetches
// it, the quit puts it in place and the next start runs it; a tampered archive or a wrong signature is
// refused and nothing is replaced.

#include "support/KestrinProcess.h"
#include "support/RecordingHttpServer.h"
#include "support/ReferenceServer.h"
#include "support/TestPorts.h"
#include "support/TestSupport.h"
#include "support/UpdateFixture.h"

#include <corvane/updates/UpdateAlert.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <csignal>
#include <unistd.h>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

// A test copy of Kestrin in `folder` at `version`, around the built kestrin, trusting `publicKey` and
// reading its feed from the test's server. Answers the path of its kestrin.
QString testCopy(const QString& folder, const QString& version, int feedPort, const QByteArray& publicKey) {
    QDir(folder).mkpath(u"Contents/bin"_s);
    QDir(folder).mkpath(u"Contents/lib"_s);
    const QString binary = folder + u"/Contents/bin/kestrin"_s;
    if (::link(KESTRIN, QFile::encodeName(binary).constData()) != 0)
        QFile::copy(QStringLiteral(KESTRIN), binary);
    QFile::copy(QFileInfo(QStringLiteral(KESTRIN)).dir().filePath(u"kestrin-tray"_s),
                folder + u"/Contents/bin/kestrin-tray"_s);
    // The copy fetches its feed and archive through its own network module.
    QFile::copy(QStringLiteral(NETWORK_MODULE), folder + u"/Contents/lib/kestrin-network.so"_s);
    const QJsonObject info{
        {u"CFBundleIdentifier"_s, u"com.mossgate.corvane.mac.updatetest"_s},
        {u"CFBundleShortVersionString"_s, version},
        {u"SUFeedURL"_s, u"http://localhost:%1/appcast.xml"_s.arg(feedPort)},
        {u"SUPublicEDKey"_s, QString::fromLatin1(publicKey.toBase64())},
    };
    writeFile(folder + u"/Contents/Info.json"_s, QJsonDocument(info).toJson());
    return binary;
}

QString versionOf(const QString& folder) {
    return QJsonDocument::fromJson(
               contentOf(folder + u"/Contents/Info.json"_s))[u"CFBundleShortVersionString"_s]
        .toString();
}

void terminate(Kestrin& kestrin) {
    kestrin.terminate();
    QVERIFY(kestrin.process().waitForFinished(20000));
    QCOMPARE(kestrin.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(kestrin.process().exitCode(), 0);
}

} // namespace

class TestUpdateEndToEnd : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void anUpdateInstallsAtTheQuit_data() {
        QTest::addColumn<QString>("archiveIs");
        QTest::newRow("signed by the publisher") << u"signed"_s;
        QTest::newRow("changed after signing") << u"tampered"_s;
        QTest::newRow("signed by another key") << u"other key"_s;
    }
    void anUpdateInstallsAtTheQuit() {
        QFETCH(QString, archiveIs);
        QTemporaryDir root;
        RecordingHttpServer server;
        const UpdateKeyPair publisher;
        const QString app = root.filePath(u"Kestrin"_s);
        const QString binary = testCopy(app, u"0.1.0"_s, server.port(), publisher.publicKey);
        testCopy(root.filePath(u"publisher/Kestrin"_s), u"0.2.0"_s, server.port(), publisher.publicKey);
        QByteArray archive = zipOf(root.filePath(u"publisher/Kestrin"_s), true);
        QByteArray signature = publisher.sign(archive);
        if (archiveIs == u"tampered")
            archive[archive.size() - 100] = char(archive[archive.size() - 100] ^ 0x01);
        if (archiveIs == u"other key")
            signature = UpdateKeyPair().sign(archive);
        const QString url = u"http://localhost:%1/Kestrin-0.2.0.zip"_s.arg(server.port());
        server.answer({.body = feedOffering(u"0.2.0"_s, url, archive.size(), signature, u"Steadier."_s)});
        server.answer({.body = archive});

        // Whether a staging folder stands beside the application folder.
        const auto staged = [&] {
            return !QDir(root.path()).entryList({u".Kestrin-update*"_s}, QDir::Dirs | QDir::Hidden).isEmpty();
        };
        const int port = freeLoopbackPort();
        const Environment quiet{{u"CORVANE_SUPPRESS_WELCOME"_s, u"1"_s}};
        {
            Kestrin kestrin(port, {}, quiet, {u"--headless"_s}, KestrinInput::typed, binary);
            QVERIFY2(kestrin.sees(u"Kestrin 0.2.0 is available — you have 0.1.0."_s),
                     qPrintable(kestrin.output()));
            QVERIFY2(kestrin.sees(u"Updates: Update ready — restart to install"_s),
                     qPrintable(kestrin.output()));
            QVERIFY(kestrin.sees(u"  Steadier."_s));
            QVERIFY(kestrin.type("update install"));
            if (archiveIs == u"signed") {
                QVERIFY2(kestrin.sees(u"Kestrin 0.2.0 is ready"_s, 60000), qPrintable(kestrin.output()));
                QVERIFY(staged());
            } else {
                QVERIFY2(kestrin.sees(UpdateWords::notSigned.toString(), 60000),
                         qPrintable(kestrin.output()));
                QVERIFY(!staged());
            }
            QCOMPARE(versionOf(app), u"0.1.0"_s); // nothing is replaced while it runs
            terminate(kestrin);
        }
        QCOMPARE(server.requests().size(), 2);
        QVERIFY(!staged());
        if (archiveIs != u"signed") {
            QCOMPARE(versionOf(app), u"0.1.0"_s);
            QVERIFY(!QFileInfo::exists(root.filePath(u".Kestrin-previous"_s)));
            return;
        }
        QCOMPARE(versionOf(app), u"0.2.0"_s);
        QCOMPARE(versionOf(root.filePath(u".Kestrin-previous"_s)),
                 u"0.1.0"_s); // kept until the new one starts
        QVERIFY(QFileInfo(binary).isExecutable());

        // The next start is the new copy: it says so, finds nothing newer and clears the old copy away.
        server.answer({.body = feedOffering(u"0.2.0"_s, url, archive.size(), signature)});
        Kestrin next(port, {}, quiet, {u"--headless"_s}, KestrinInput::typed, binary);
        QVERIFY2(next.sees(u"Updates: Check for updates… (You have 0.2.0)"_s), qPrintable(next.output()));
        QTRY_COMPARE(server.requests().size(), 3);
        QVERIFY(!QFileInfo::exists(root.filePath(u".Kestrin-previous"_s)));
        terminate(next);
        QVERIFY2(!next.output().contains(u"A new version"_s), qPrintable(next.output()));
    }
};

QTEST_GUILESS_MAIN(TestUpdateEndToEnd)
#include "tst_UpdateEndToEnd.moc"
