// Finding and fetching adb: the locator's places, Google's repository manifest, the provisioner with
// the real steps against a local server (a good archive, a damaged one, one that does not match the
// digest Google lists, a missing one, one cut off half-way) in a private folder made for each fetch,
// the repository a copy may be pointed at, and the runner that runs adb.

#include "support/RecordingHttpServer.h"
#include "support/TestSupport.h"

#include <corvane/glasses/AdbDownload.h>
#include <corvane/glasses/AdbLocator.h>
#include <corvane/glasses/AdbProvisioner.h>
#include <corvane/glasses/PlatformToolsManifest.h>
#include <corvane/shell/TestCopyEnvironment.h>

#include <corvane/NetworkAdbProvisionSteps.h>
#include <corvane/NetworkFileFetcher.h>
#include <corvane/ProcessAdbRunner.h>
#include <corvane/Sha1DigestVerifier.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <qcorotask.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString archiveName = u"platform-tools_r35.0.2-linux.zip"_s;

QString sha1Of(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
}

// Google's manifest, cut down to the platform-tools package: one archive per system.
QByteArray manifestListing(const QString& linuxName, const QString& linuxSha1,
                           const QString& channel = u"channel-0"_s) {
    return uR"(<?xml version="1.0" ?>
<sdk:sdk-repository xmlns:sdk="http://schemas.android.com/sdk/android/repo/repository2/01">
  <channel id="channel-0">stable</channel>
  <remotePackage path="platform-tools">
    <revision><major>35</major><minor>0</minor><micro>2</micro></revision>
    <display-name>Android SDK Platform-Tools</display-name>
    <channelRef ref="%3"/>
    <archives>
      <archive>
        <complete><size>13000000</size><checksum type="sha1">0000000000000000000000000000000000000000</checksum><url>platform-tools_r35.0.2-darwin.zip</url></complete>
        <host-os>macosx</host-os>
      </archive>
      <archive>
        <complete><size>6500000</size><checksum type="sha1">%2</checksum><url>%1</url></complete>
        <host-os>linux</host-os>
      </archive>
    </archives>
  </remotePackage>
</sdk:sdk-repository>
)"_s.arg(linuxName, linuxSha1, channel)
        .toUtf8();
}

// A zip like Google's: platform-tools/adb (a script that says who it is) and another tool beside it.
QByteArray platformToolsZip() {
    QTemporaryDir folder;
    QDir(folder.path()).mkpath(u"platform-tools"_s);
    QFile adb(folder.filePath(u"platform-tools/adb"_s));
    adb.open(QIODevice::WriteOnly);
    adb.write("#!/bin/sh\necho 'Android Debug Bridge version 1.0.41'\n");
    adb.close();
    QFile other(folder.filePath(u"platform-tools/fastboot"_s));
    other.open(QIODevice::WriteOnly);
    other.write("not needed");
    other.close();
    QProcess zip;
    zip.setWorkingDirectory(folder.path());
    zip.start(u"zip"_s, {u"-q"_s, u"-r"_s, u"tools.zip"_s, u"platform-tools"_s});
    zip.waitForFinished();
    return contentOf(folder.filePath(u"tools.zip"_s));
}

// Where the fetch works and ends: a support folder and the folder its working folders are made in,
// and an unzip that notes, each time it runs, the folder it unpacks into and that folder's mode.
struct Fetch {
    QTemporaryDir root;
    RecordingHttpServer server;
    QString support = root.filePath(u"support"_s);
    QString downloads = root.filePath(u"cache/downloads"_s);
    QString unzipMark = root.filePath(u"unzip-ran"_s);
    QList<qint64> progress;

    std::expected<QString, AdbProvisionError> run() {
        const QString unzip = root.filePath(u"unzip"_s);
        QFile script(unzip);
        script.open(QIODevice::WriteOnly);
        // unzip -o -q <archive> platform-tools/adb -d <folder>
        script.write(
            u"#!/bin/sh\nstat -c '%n %a' \"$6\" >> '%1'\nexec unzip \"$@\"\n"_s.arg(unzipMark).toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        AdbProvisioner provisioner(
            std::make_shared<NetworkAdbProvisionSteps>(
                downloads, std::make_shared<NetworkFileFetcher>(std::chrono::milliseconds(500)), unzip),
            std::make_shared<Sha1DigestVerifier>(), u"http://127.0.0.1:%1/repository/"_s.arg(server.port()));
        provisioner.onProgress = [this](qint64 received, qint64) { progress.append(received); };
        return QCoro::waitFor(provisioner.fetch(support));
    }
    bool installed() const { return QFile::exists(AdbLocator::managedPath(support)); }
    // Whether every working folder is gone.
    bool leftNothing() const {
        return QDir(downloads)
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)
            .isEmpty();
    }
    // The folders unzip unpacked into, each with its mode, in the order of the fetches.
    QStringList unpackedInto() const {
        return QString::fromUtf8(contentOf(unzipMark)).split(u'\n', Qt::SkipEmptyParts);
    }
};

} // namespace

class TestAdbProvisioning : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theLocatorsPlaces_data() {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<AdbSource>("found");
        const QString ours = u"/support/platform-tools/adb"_s;
        QTest::newRow("ours and Homebrew's")
            << QStringList{u"/opt/homebrew/bin/adb"_s, ours} << AdbSource{AdbSource::OnDisk{ours, true}};
        QTest::newRow("only /usr/local") << QStringList{u"/usr/local/bin/adb"_s}
                                         << AdbSource{AdbSource::OnDisk{u"/usr/local/bin/adb"_s, false}};
        QTest::newRow("Android Studio's before Debian's")
            << QStringList{u"/usr/bin/adb"_s, u"/home/ana/Android/Sdk/platform-tools/adb"_s}
            << AdbSource{AdbSource::OnDisk{u"/home/ana/Android/Sdk/platform-tools/adb"_s, false}};
        QTest::newRow("Debian's") << QStringList{u"/usr/bin/adb"_s}
                                  << AdbSource{AdbSource::OnDisk{u"/usr/bin/adb"_s, false}};
        QTest::newRow("ANDROID_HOME's before Android Studio's")
            << QStringList{u"/home/ana/Android/Sdk/platform-tools/adb"_s, u"/sdk/home/platform-tools/adb"_s}
            << AdbSource{AdbSource::OnDisk{u"/sdk/home/platform-tools/adb"_s, false}};
        QTest::newRow("ANDROID_SDK_ROOT's")
            << QStringList{u"/sdk/root/platform-tools/adb"_s}
            << AdbSource{AdbSource::OnDisk{u"/sdk/root/platform-tools/adb"_s, false}};
        QTest::newRow("Debian's SDK before the search path")
            << QStringList{u"/home/ana/bin/adb"_s, u"/usr/lib/android-sdk/platform-tools/adb"_s}
            << AdbSource{AdbSource::OnDisk{u"/usr/lib/android-sdk/platform-tools/adb"_s, false}};
        QTest::newRow("on the search path") << QStringList{u"/home/ana/bin/adb"_s}
                                            << AdbSource{AdbSource::OnDisk{u"/home/ana/bin/adb"_s, false}};
        QTest::newRow("the search path before the login shell's")
            << QStringList{u"/home/ana/.local/bin/adb"_s, u"/home/ana/bin/adb"_s}
            << AdbSource{AdbSource::OnDisk{u"/home/ana/bin/adb"_s, false}};
        QTest::newRow("on the login shell's search path")
            << QStringList{u"/usr/local/bin/adb"_s, u"/home/ana/.local/bin/adb"_s}
            << AdbSource{AdbSource::OnDisk{u"/home/ana/.local/bin/adb"_s, false}};
        QTest::newRow("not a relative folder") << QStringList{u"relative/bin/adb"_s} << AdbSource{};
        QTest::newRow("none") << QStringList{} << AdbSource{};
    }
    void theLocatorsPlaces() {
        QFETCH(QStringList, present);
        QFETCH(AdbSource, found);
        const AdbLocator locator{.exists = [&](const QString& path) { return present.contains(path); },
                                 .environment = {{u"ANDROID_HOME"_s, u"/sdk/home/"_s},
                                                 {u"ANDROID_SDK_ROOT"_s, u"/sdk/root"_s},
                                                 {u"PATH"_s, u"/home/ana/bin:relative/bin::/usr/bin"_s}},
                                 .loginShellPath = u"/home/ana/.local/bin:/usr/bin:relative/sbin"_s};
        const AdbSource source = locator.locate(u"/home/ana"_s, u"/support"_s);
        QVERIFY(source == found);
        QCOMPARE(source.path().has_value(), found.path().has_value());
        QCOMPARE(source.isOurs().has_value(), found.path().has_value());
    }

    void removingOurCopy() {
        QTemporaryDir support;
        QVERIFY(AdbLocator::removeManaged(support.path())); // never downloaded: nothing to do
        QVERIFY(QDir(support.path()).mkpath(u"platform-tools"_s));
        QFile adb(AdbLocator::managedPath(support.path()));
        QVERIFY(adb.open(QIODevice::WriteOnly));
        adb.close();
        QVERIFY(AdbLocator::removeManaged(support.path()));
        QVERIFY(!QDir(support.filePath(u"platform-tools"_s)).exists());
    }

    // A copy that cannot be removed gives the system's reason. Root removes anything, so as root the
    // removal is tried by a child process of another account.
    void aFailedRemovalSaysWhy() {
        QTemporaryDir support;
        QVERIFY(QDir(support.path()).mkpath(u"platform-tools"_s));
        QFile adb(AdbLocator::managedPath(support.path()));
        QVERIFY(adb.open(QIODevice::WriteOnly));
        adb.close();
        const QByteArray folder = QFile::encodeName(support.filePath(u"platform-tools"_s));
        QCOMPARE(::chmod(folder.constData(), 0555), 0);
        QCOMPARE(::chmod(QFile::encodeName(support.path()).constData(), 0755), 0);
        QString said;
        if (::geteuid() != 0) {
            const auto removed = AdbLocator::removeManaged(support.path());
            QVERIFY(!removed);
            said = removed.error();
        } else {
            int pipe[2];
            QCOMPARE(::pipe(pipe), 0);
            const pid_t child = ::fork();
            if (child == 0) {
                ::close(pipe[0]);
                if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                    ::_exit(2);
                const auto removed = AdbLocator::removeManaged(support.path());
                const QByteArray words = removed ? QByteArray() : removed.error().toUtf8();
                (void)!::write(pipe[1], words.constData(), size_t(words.size()));
                ::_exit(0);
            }
            ::close(pipe[1]);
            char buffer[256] = {};
            const ssize_t read = ::read(pipe[0], buffer, sizeof buffer - 1);
            ::close(pipe[0]);
            ::waitpid(child, nullptr, 0);
            said = QString::fromUtf8(buffer, std::max<ssize_t>(read, 0));
        }
        QCOMPARE(said, QString::fromLocal8Bit(std::strerror(EACCES)) + u'.');
        QVERIFY(QFile::exists(AdbLocator::managedPath(support.path())));
        QCOMPARE(::chmod(folder.constData(), 0755), 0);
    }

    void googlesManifest_data() {
        QTest::addColumn<QByteArray>("manifest");
        QTest::addColumn<std::optional<PlatformToolsArchive>>("archive");
        const QString sha1 = u"aa5d0ef05c5ba0a1b5c1d7b16b1e0dc5e7c1b3a9"_s;
        const std::optional<PlatformToolsArchive> none;
        QTest::newRow("the Linux archive") << manifestListing(archiveName, sha1)
                                           << std::optional(PlatformToolsArchive{archiveName, sha1, 6500000});
        QTest::newRow("digest in upper case")
            << manifestListing(archiveName, sha1.toUpper())
            << std::optional(PlatformToolsArchive{archiveName, sha1, 6500000});
        QTest::newRow("a preview only") << manifestListing(archiveName, sha1, u"channel-2"_s) << none;
        QTest::newRow("not a digest") << manifestListing(archiveName, u"abc"_s) << none;
        QTest::newRow("a path out of the repository") << manifestListing(u"../x.zip"_s, sha1) << none;
        QTest::newRow("an address elsewhere") << manifestListing(u"https://elsewhere/x.zip"_s, sha1) << none;
        QTest::newRow("cut off") << manifestListing(archiveName, sha1).left(700) << none;
        QTest::newRow("not XML") << QByteArray("PK\x03\x04 garbage") << none;
        QTest::newRow("empty") << QByteArray() << none;
    }
    void googlesManifest() {
        QFETCH(QByteArray, manifest);
        QFETCH(std::optional<PlatformToolsArchive>, archive);
        QVERIFY(PlatformToolsManifest::linuxArchive(manifest) == archive);
    }

    // A good archive: adb alone is installed, executable, and the working files are gone.
    void fetchesAdbFromTheRepository() {
        Fetch fetch;
        const QByteArray archive = platformToolsZip();
        fetch.server.answer({.body = manifestListing(archiveName, sha1Of(archive))});
        fetch.server.answer({.body = archive});
        const auto installed = fetch.run();
        QVERIFY2(installed, qPrintable(QString::fromUtf8(
                                AdbProvisionErrors::plainDescription(installed.error()).toUtf8())));
        QCOMPARE(*installed, AdbLocator::managedPath(fetch.support));
        QCOMPARE(fetch.server.requests().size(), 2);
        QCOMPARE(fetch.server.requests()[0].target, "/repository/repository2-1.xml");
        QCOMPARE(fetch.server.requests()[1].target, "/repository/" + archiveName.toUtf8());
        QCOMPARE(QFileInfo(*installed).permissions() & 0x7777,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser |
                     QFile::ExeUser | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                     QFile::ExeOther);
        QCOMPARE(QDir(fetch.support + u"/platform-tools"_s).entryList(QDir::Files), QStringList{u"adb"_s});
        QVERIFY(fetch.leftNothing());
        QVERIFY(!fetch.progress.isEmpty());
        QCOMPARE(fetch.progress.last(), archive.size());
        ProcessAdbRunner runner(*installed);
        const auto version = QCoro::waitFor(runner.run({u"version"_s}));
        QVERIFY(version);
        QCOMPARE(version->output, u"Android Debug Bridge version 1.0.41\n"_s);
    }

    // Each way a fetch fails: the words that say so, nothing installed, no working files left.
    void aFailedFetchLeavesNothing_data() {
        QTest::addColumn<QList<ScriptedReply>>("replies");
        QTest::addColumn<AdbProvisionError>("error");
        QTest::addColumn<bool>("unpacked");
        const QByteArray archive = platformToolsZip();
        const QByteArray damaged = archive.left(archive.size() / 2) + QByteArray(64, 'x');
        QTest::newRow("no manifest") << QList<ScriptedReply>{{.status = 404, .body = "gone"}}
                                     << AdbProvisionError::downloadFailed << false;
        QTest::newRow("no Linux archive listed")
            << QList<ScriptedReply>{{.body = manifestListing(u"x.tar"_s, sha1Of(archive))}}
            << AdbProvisionError::downloadFailed << false;
        QTest::newRow("archive missing")
            << QList<ScriptedReply>{{.body = manifestListing(archiveName, sha1Of(archive))},
                                    {.status = 404, .body = "gone"}}
            << AdbProvisionError::downloadFailed << false;
        QTest::newRow("cut off half-way")
            << QList<ScriptedReply>{{.body = manifestListing(archiveName, sha1Of(archive))},
                                    {.body = archive, .kind = ScriptedReply::Kind::truncated}}
            << AdbProvisionError::downloadFailed << false;
        QTest::newRow("the server goes quiet")
            << QList<ScriptedReply>{{.body = manifestListing(archiveName, sha1Of(archive))},
                                    {.kind = ScriptedReply::Kind::silent}}
            << AdbProvisionError::downloadFailed << false;
        QTest::newRow("not what Google listed")
            << QList<ScriptedReply>{{.body = manifestListing(archiveName, sha1Of(archive))},
                                    {.body = damaged}}
            << AdbProvisionError::notFromGoogle << false;
        QTest::newRow("listed, but damaged")
            << QList<ScriptedReply>{{.body = manifestListing(archiveName, sha1Of(damaged))},
                                    {.body = damaged}}
            << AdbProvisionError::unpackFailed << true;
    }
    void aFailedFetchLeavesNothing() {
        QFETCH(QList<ScriptedReply>, replies);
        QFETCH(AdbProvisionError, error);
        QFETCH(bool, unpacked);
        Fetch fetch;
        for (const ScriptedReply& reply : replies)
            fetch.server.answer(reply);
        const auto installed = fetch.run();
        QVERIFY(!installed);
        QCOMPARE(installed.error(), error);
        QVERIFY(!fetch.installed());
        QVERIFY(fetch.leftNothing());
        QCOMPARE(QFile::exists(fetch.unzipMark),
                 unpacked); // an archive Google did not vouch for is never opened
    }

    // Each fetch works in a folder of its own that only this user may enter, made fresh under the
    // downloads folder with a name no one could have taken first, and gone afterwards.
    void eachFetchWorksInAPrivateFolderOfItsOwn() {
        Fetch fetch;
        const QByteArray archive = platformToolsZip();
        for (int round = 0; round < 2; ++round) {
            fetch.server.answer({.body = manifestListing(archiveName, sha1Of(archive))});
            fetch.server.answer({.body = archive});
            QVERIFY(fetch.run());
        }
        const QStringList folders = fetch.unpackedInto();
        QCOMPARE(folders.size(), 2);
        for (const QString& folder : folders) {
            QVERIFY2(folder.startsWith(fetch.downloads + u"/platform-tools-"_s), qPrintable(folder));
            QVERIFY2(folder.endsWith(u" 700"_s), qPrintable(folder));
        }
        QVERIFY(folders.first() != folders.last());
        QVERIFY(fetch.leftNothing());
    }

    // The downloads folder is narrowed to this user alone however it was made (a umask that lets the
    // group write, a folder left open); a link, a file or another account's folder is not worked in:
    // nothing is fetched, and the words say why.
    void theDownloadsFolderIsNarrowedOrRefused_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("used");
        QTest::newRow("made under umask 002") << u"umask"_s << true;
        QTest::newRow("left writable by everyone") << u"open"_s << true;
        QTest::newRow("left writable by the group") << u"group"_s << true;
        QTest::newRow("a link") << u"link"_s << false;
        QTest::newRow("a file") << u"file"_s << false;
        if (::geteuid() == 0)
            QTest::newRow("another account's") << u"foreign"_s << false;
    }
    void theDownloadsFolderIsNarrowedOrRefused() {
        QFETCH(QString, kind);
        QFETCH(bool, used);
        Fetch fetch;
        QVERIFY(QDir().mkpath(fetch.root.filePath(u"cache"_s)));
        const QByteArray path = QFile::encodeName(fetch.downloads);
        if (kind == u"link") {
            QVERIFY(QDir().mkpath(fetch.root.filePath(u"elsewhere"_s)));
            QCOMPARE(::chmod(QFile::encodeName(fetch.root.filePath(u"elsewhere"_s)).constData(), 0775), 0);
            QVERIFY(QFile::link(fetch.root.filePath(u"elsewhere"_s), fetch.downloads));
        } else if (kind == u"file") {
            QFile file(fetch.downloads);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (kind != u"umask") {
            QVERIFY(QDir().mkpath(fetch.downloads));
            const mode_t mode = kind == u"open" ? 01777 : kind == u"group" ? 0775 : 0700;
            QCOMPARE(::chmod(path.constData(), mode), 0);
            if (kind == u"foreign")
                QCOMPARE(::chown(path.constData(), 65534, 65534), 0);
        }
        const QByteArray archive = platformToolsZip();
        fetch.server.answer({.body = manifestListing(archiveName, sha1Of(archive))});
        fetch.server.answer({.body = archive});
        const mode_t umaskBefore = ::umask(kind == u"umask" ? 002 : 022);
        const auto installed = fetch.run();
        ::umask(umaskBefore);
        QCOMPARE(bool(installed), used);
        QCOMPARE(fetch.installed(), used);
        if (used) {
            struct stat facts {};
            QCOMPARE(::lstat(path.constData(), &facts), 0);
            QCOMPARE(facts.st_mode & 07777, mode_t(0700));
        } else {
            QCOMPARE(installed.error(), AdbProvisionError::noPrivateFolder);
            QVERIFY(fetch.server.requests().isEmpty());
            if (kind == u"link") // what the link leads to is left as it was
                QVERIFY(QFileInfo(fetch.root.filePath(u"elsewhere"_s)).permissions() & QFile::WriteGroup);
        }
    }

    // Only a test copy may be pointed at another repository, and only over https or on localhost, as
    // for the update feed; any other copy fetches from Google whatever its environment says.
    void theRepositoryACopyFetchesFrom_data() {
        QTest::addColumn<bool>("testCopy");
        QTest::addColumn<QString>("named");
        QTest::addColumn<QString>("used");
        const QString google = AdbDownload::defaultRepository.toString();
        QTest::newRow("nothing named") << true << QString() << google;
        QTest::newRow("a test copy, https")
            << true << u"https://mirror.example/repo/"_s << u"https://mirror.example/repo/"_s;
        QTest::newRow("a test copy, http on an address of this computer")
            << true << u"http://127.0.0.1:8123/repository/"_s << google;
        QTest::newRow("a test copy, http localhost")
            << true << u"http://localhost:8123/r/"_s << u"http://localhost:8123/r/"_s;
        QTest::newRow("a test copy, http elsewhere") << true << u"http://mirror.example/repo/"_s << google;
        QTest::newRow("a test copy, a file") << true << u"file:///tmp/repo/"_s << google;
        QTest::newRow("a test copy, not an address") << true << u"::"_s << google;
        QTest::newRow("a person's copy, https") << false << u"https://mirror.example/repo/"_s << google;
        QTest::newRow("a person's copy, http here")
            << false << u"http://127.0.0.1:8123/repository/"_s << google;
    }
    void theRepositoryACopyFetchesFrom() {
        QFETCH(bool, testCopy);
        QFETCH(QString, named);
        QFETCH(QString, used);
        InfoDictionary info;
        info.insert(u"CFBundleIdentifier"_s, testCopy ? TestCopyEnvironment::bundleIdentifier.toString()
                                                      : u"com.mossgate.corvane.mac"_s);
        Environment environment;
        if (!named.isNull())
            environment.insert(AdbDownload::repositoryVariable.toString(), named);
        QCOMPARE(AdbDownload::repository(info, environment), used);
    }

    // Installing replaces an earlier copy only once the new one is whole: a failed install leaves the
    // earlier copy as it was, and nothing half-written beside it.
    void installingIsWholeOrNothing() {
        QTemporaryDir root;
        NetworkAdbProvisionSteps steps(root.filePath(u"downloads"_s), std::make_shared<NetworkFileFetcher>());
        const QString at = root.filePath(u"support/platform-tools/adb"_s);
        const QString fresh = root.filePath(u"fresh-adb"_s);
        QFile source(fresh);
        QVERIFY(source.open(QIODevice::WriteOnly));
        source.write("#!/bin/sh\necho new\n");
        source.close();
        QVERIFY(steps.install(fresh, at));
        QCOMPARE(contentOf(at), QByteArray("#!/bin/sh\necho new\n"));
        QVERIFY(QFileInfo(at).isExecutable());

        QVERIFY(!steps.install(root.filePath(u"nowhere"_s), at));
        QCOMPARE(contentOf(at), QByteArray("#!/bin/sh\necho new\n"));
        QCOMPARE(QDir(root.filePath(u"support/platform-tools"_s)).entryList(QDir::Files),
                 QStringList{u"adb"_s});

        // A support folder that cannot hold the tools' folder: nothing is made, and it says so.
        QFile blocker(root.filePath(u"blocked"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!steps.install(fresh, root.filePath(u"blocked/platform-tools/adb"_s)));
    }

    void theWordsOfAFailedFetch() {
        QVERIFY(AdbProvisionErrors::plainDescription(AdbProvisionError::downloadFailed)
                    .startsWith(u"Kestrin couldn't reach Google"));
        QVERIFY(AdbProvisionErrors::plainDescription(AdbProvisionError::unpackFailed)
                    .startsWith(u"The download from Google arrived damaged"));
        QVERIFY(AdbProvisionErrors::plainDescription(AdbProvisionError::notFromGoogle)
                    .startsWith(u"What arrived didn't come from Google"));
    }

    // The runner: both streams in the order written, an exit status as a result, a hang ended by the
    // time limit, a file that cannot run, and output too large to keep whole.
    void runningAdb() {
        QTemporaryDir folder;
        const auto script = [&](const QString& name, const QByteArray& body) {
            const QString path = folder.filePath(name);
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            file.write("#!/bin/sh\n" + body);
            file.close();
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            return path;
        };
        const auto interleaved = QCoro::waitFor(
            ProcessAdbRunner(script(u"talks"_s, "echo out1; echo err1 >&2; echo out2; exit 3\n")).run({}));
        QVERIFY(interleaved);
        QCOMPARE(*interleaved, (AdbResult{u"out1\nerr1\nout2\n"_s, 3}));

        const auto arguments = QCoro::waitFor(
            ProcessAdbRunner(script(u"echoes"_s, "printf '%s|' \"$@\"\n")).run({u"shell"_s, u"pm list"_s}));
        QCOMPARE(arguments->output, u"shell|pm list|"_s);

        // A command's input reaches adb's standard input, whole and then closed.
        const QString reader = script(u"reads"_s, "printf '%s:' \"$@\"; cat\n");
        const auto typed = QCoro::waitFor(
            ProcessAdbRunner(reader).runWithInput(AdbCommand{{u"shell"_s}, "am start\nexit\n"}));
        QVERIFY(typed);
        QCOMPARE(typed->output, u"shell:am start\nexit\n"_s);
        const auto nothingTyped = QCoro::waitFor(ProcessAdbRunner(reader).run({u"shell"_s}));
        QCOMPARE(nothingTyped->output, u"shell:"_s);

        QElapsedTimer clock;
        clock.start();
        const auto hung = QCoro::waitFor(
            ProcessAdbRunner(script(u"hangs"_s, "exec sleep 30\n"), std::chrono::milliseconds(300)).run({}));
        QVERIFY(!hung);
        QVERIFY(clock.elapsed() < 5000);

        QFile plain(folder.filePath(u"plain"_s));
        plain.open(QIODevice::WriteOnly);
        plain.close();
        QVERIFY(!QCoro::waitFor(ProcessAdbRunner(plain.fileName()).run({})));
        QVERIFY(!QCoro::waitFor(ProcessAdbRunner(folder.filePath(u"nowhere"_s)).run({})));

        const auto enormous = QCoro::waitFor(
            ProcessAdbRunner(script(u"floods"_s, "head -c 9000000 /dev/zero | tr '\\0' a\n")).run({}));
        QVERIFY(enormous);
        QCOMPARE(enormous->output.size(), ProcessAdbRunner::maxOutputBytes);
        QCOMPARE(enormous->exitCode, 0);
    }
};

QTEST_GUILESS_MAIN(TestAdbProvisioning)
#include "tst_AdbProvisioning.moc"
