// The updater of a copy in its own application folder, with the real fetching, unpacking and signature
// check against a local feed: an update offered, fetched, checked, unpacked beside the folder and
// swapped in at the quit; archives it must refuse; checks that stay quiet; and the person's answers.

#include "support/RecordingHttpServer.h"
#include "support/UpdateFixture.h"

#include <corvane/shell/Defaults.h>
#include <corvane/updates/AppcastUpdater.h>

#include <corvane/ModuleFileFetcher.h>
#include <corvane/PlatformUpdater.h>
#include <corvane/SodiumSignatureVerifier.h>
#include <corvane/UnzipUpdateUnpacker.h>
#include <corvane/UpdatesModel.h>

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString identifier = u"com.mossgate.corvane.mac.updatetest"_s;

class MemoryDefaults final : public Defaults {
public:
    QVariantMap values;
    std::optional<QString> string(const QString& key) const override {
        return values.contains(key) ? std::optional(values.value(key).toString()) : std::nullopt;
    }
    void setString(const QString& key, const QString& value) override { values.insert(key, value); }
    QVariant value(const QString& key) const override { return values.value(key); }
    void setValue(const QString& key, const QVariant& value) override { values.insert(key, value); }
};

// Offers one update (its archive at `archive`) and reports its download's progress ten thousand
// times, as a slow link would.
class ChattyFetcher final : public FileFetcher {
public:
    QString archive = u"https://updates.example/K.zip"_s;

    QCoro::Task<std::expected<FetchedDocument, QString>> read(QUrl) override {
        co_return FetchedDocument{feedOffering(u"2.0"_s, archive, 1'000'000, QByteArray(64, 's'))};
    }
    QCoro::Task<std::expected<void, QString>> download(QUrl, QString to, qint64,
                                                       DownloadProgress progress) override {
        for (qint64 received = 0; received <= 1'000'000; received += 100)
            progress(received, -1); // the server did not say the size: the feed's is used
        writeFile(to, "not a zip");
        co_return std::expected<void, QString>{};
    }
    void stopTransfers() override {}
    void discard(QString path) override { QDir(path).removeRecursively(); }
};

// The updater of a copy at <root>/Kestrin, version 1.0, whose feed comes over https through `fetcher`.
std::unique_ptr<AppcastUpdater> secureFeedUpdater(const QTemporaryDir& root,
                                                  std::shared_ptr<FileFetcher> fetcher) {
    makeApplicationFolder(root.filePath(u"Kestrin"_s), identifier, u"1.0"_s, "old");
    return std::make_unique<AppcastUpdater>(
        AppcastUpdater::Application{.source = {.feed = QUrl(u"https://updates.example/appcast.xml"_s),
                                               .publicKey = QByteArray(32, 'k')},
                                    .bundleIdentifier = identifier,
                                    .version = u"1.0"_s,
                                    .shortVersion = u"1.0"_s,
                                    .folder = root.filePath(u"Kestrin"_s)},
        AppcastUpdater::Seams{.fetcher = std::move(fetcher),
                              .unpacker = std::make_shared<UnzipUpdateUnpacker>(),
                              .verifier = std::make_shared<SodiumSignatureVerifier>(),
                              .defaults = std::make_shared<MemoryDefaults>()});
}

// A copy at <root>/Kestrin, version 1.0, its feed served by the test, and a publisher whose key it trusts.
struct Rig {
    QTemporaryDir root;
    RecordingHttpServer server;
    UpdateKeyPair publisher;
    std::shared_ptr<MemoryDefaults> defaults = std::make_shared<MemoryDefaults>();
    QString app = root.filePath(u"Kestrin"_s);
    QStringList notes;
    std::unique_ptr<UpdatesModel> model;
    std::unique_ptr<QSignalSpy> events;

    Rig() { makeApplicationFolder(app, identifier, u"1.0"_s, "old"); }

    // The staging folder beside the application's, when there is one; else a path where nothing is.
    QString staging() const {
        const QStringList found =
            QDir(root.path()).entryList({u".Kestrin-update-*"_s}, QDir::Dirs | QDir::Hidden);
        return root.filePath(found.isEmpty() ? u".Kestrin-update-none"_s : found.first());
    }
    QString previous() const { return root.filePath(u".Kestrin-previous"_s); }
    QByteArray runs() const { return contentOf(app + u"/Contents/bin/kestrin"_s); }

    // Version 2.0, as published: a zip of its application folder; `change` may alter the folder first.
    QByteArray published(const QString& publishedIdentifier = identifier, const QString& version = u"2.0"_s,
                         const std::function<void(const QString&)>& change = {}) const {
        const QString folder = root.filePath(u"publisher/Kestrin"_s);
        QDir(folder).removeRecursively();
        makeApplicationFolder(folder, publishedIdentifier, version, "new");
        if (change)
            change(folder);
        return zipOf(folder);
    }
    // The feed offers version 2.0 with this archive and signature (and says it is `declaredLength`
    // long, when given), then the archive is served.
    void offer(const QByteArray& archive, const QByteArray& signature, int archiveStatus = 200,
               qint64 declaredLength = 0) {
        const QString url = u"http://localhost:%1/Kestrin-2.0.zip"_s.arg(server.port());
        server.answer({.body = feedOffering(
                           u"2.0"_s, url, declaredLength > 0 ? declaredLength : archive.size(), signature)});
        server.answer({.status = archiveStatus, .body = archive});
    }

    void start(std::chrono::milliseconds interval = AppcastUpdater::standardInterval) {
        const InfoDictionary info{
            {u"CFBundleIdentifier"_s, identifier},
            {u"CFBundleShortVersionString"_s, u"1.0"_s},
            {u"SUFeedURL"_s, u"http://localhost:%1/appcast.xml"_s.arg(server.port())},
            {u"SUPublicEDKey"_s, QString::fromLatin1(publisher.publicKey.toBase64())},
        };
        model = std::make_unique<UpdatesModel>(
            info,
            platformUpdater(info, app, defaults,
                            std::make_shared<ModuleFileFetcher>(QStringLiteral(NETWORK_MODULE)), interval),
            UpdatesModel::Actions{.note = [this](const QString& text) { notes.append(text); }});
    }
    std::optional<UpdateAlert> alert() const { return model->alert(); }
    template <typename Stage>
    bool shows() const {
        const std::optional<UpdateAlert> shown = alert();
        return shown && std::holds_alternative<Stage>(shown->value);
    }
    // Waits until the updater's work has wound down.
    void settle() const { QCoro::waitFor(model->settled()); }
};

} // namespace

class TestAppcastUpdater : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The updater's own check finds 2.0: the key lights while the alert shows; "Install on Quit"
    // downloads, checks and unpacks it beside the folder, notes it and keeps the key lit; the quit puts
    // it in place with the old copy set aside, and the next start clears that away.
    void anUpdateIsOfferedFetchedAndSwappedInAtTheQuit() {
        Rig rig;
        const QByteArray archive = rig.published();
        rig.offer(archive, rig.publisher.sign(archive));
        rig.start();
        QVERIFY(rig.model->canCheckForUpdates());
        QTRY_VERIFY(rig.shows<UpdateAlert::Offered>());
        const auto offered = std::get<UpdateAlert::Offered>(rig.alert()->value);
        QCOMPARE(offered.item.version, u"2.0"_s);
        QCOMPARE(offered.currentVersion, u"1.0"_s);
        QCOMPARE(rig.alert()->releaseNotes(), u"Calmer."_s);
        QVERIFY(rig.model->key().lit); // an alert the person did not ask for
        QCOMPARE(rig.server.requests().size(), 1);
        QCOMPARE(rig.server.requests().front().target, QByteArray("/appcast.xml"));

        rig.model->answer(UpdateAnswer::installOnQuit);
        QTRY_VERIFY(rig.shows<UpdateAlert::Ready>());
        rig.settle();
        QCOMPARE(rig.server.requests().last().target, QByteArray("/Kestrin-2.0.zip"));
        QCOMPARE(rig.model->reminder(), (UpdateReminder{.installWaits = true, .alertShown = true}));
        QCOMPARE(rig.notes,
                 QStringList{u"An update to 2.0 (build 2.0) is ready; it installs at the next quit"_s});
        QCOMPARE(rig.runs(), QByteArray("#!/bin/sh\necho 'old'\n")); // nothing replaced before the quit
        QCOMPARE(QDir(rig.staging()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{u"unpacked-2"_s}); // the archive itself is gone once unpacked

        rig.model->answer(UpdateAnswer::later);
        QVERIFY(!rig.alert());
        QCOMPARE(rig.model->reminder(), (UpdateReminder{.installWaits = true, .alertShown = false}));
        QVERIFY(rig.model->key().lit);
        // Pressing the lit key shows the waiting update again, without fetching anything.
        rig.model->check();
        QVERIFY(rig.shows<UpdateAlert::Ready>());
        QCOMPARE(rig.server.requests().size(), 2);
        QSignalSpy quit(rig.model.get(), &UpdatesModel::quitRequested);
        rig.model->answer(UpdateAnswer::quitAndInstall);
        QCOMPARE(quit.count(), 1);

        rig.model->windDown();
        rig.settle();
        rig.model->installOnQuit();
        QCOMPARE(rig.runs(), QByteArray("#!/bin/sh\necho 'new'\n"));
        QVERIFY(QFileInfo(rig.app + u"/Contents/bin/kestrin"_s).isExecutable());
        QCOMPARE(contentOf(rig.previous() + u"/Contents/bin/kestrin"_s),
                 QByteArray("#!/bin/sh\necho 'old'\n"));
        QVERIFY(!QFileInfo::exists(rig.staging()));
        QCOMPARE(rig.notes.size(), 1);

        // The next start is the new copy: the old one is cleared away.
        rig.server.answer(
            {.body = feedOffering(u"2.0"_s, u"http://localhost/x.zip"_s, 1, QByteArray(64, 'x'))});
        rig.start();
        QVERIFY(!QFileInfo::exists(rig.previous()));
        rig.model->windDown();
        rig.settle();
    }

    // An archive the updater must not install is refused with words; nothing beside the folder is
    // left, the folder is as it was, a quit installs nothing, and the key goes dark.
    void refusedArchivesChangeNothing_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("words");
        QTest::newRow("a byte changed after signing") << u"tampered"_s << UpdateWords::notSigned.toString();
        QTest::newRow("signed by another key") << u"other key"_s << UpdateWords::notSigned.toString();
        QTest::newRow("another application") << u"other identifier"_s << UpdateWords::notKestrin.toString();
        QTest::newRow("signed, but not a zip") << u"not a zip"_s << UpdateWords::unpackFailed.toString();
        QTest::newRow("the archive is missing") << u"missing"_s << UpdateWords::downloadFailed.toString();
        QTest::newRow("longer than the feed says") << u"too long"_s << UpdateWords::downloadFailed.toString();
        QTest::newRow("an older release relabelled")
            << u"older inside"_s << UpdateWords::notTheOffered.toString();
        QTest::newRow("another version than offered")
            << u"newer inside"_s << UpdateWords::notTheOffered.toString();
        QTest::newRow("the same version, written longer")
            << u"same inside"_s << UpdateWords::notTheOffered.toString();
        QTest::newRow("a link that leads outside") << u"link out"_s << UpdateWords::unsafeCopy.toString();
        QTest::newRow("kestrin is a link") << u"kestrin link"_s << UpdateWords::unsafeCopy.toString();
        QTest::newRow("Contents is a link") << u"contents link"_s << UpdateWords::unsafeCopy.toString();
        QTest::newRow("without the tray's program") << u"no tray"_s << UpdateWords::notKestrin.toString();
        QTest::newRow("without the network module") << u"no module"_s << UpdateWords::notKestrin.toString();
    }
    void refusedArchivesChangeNothing() {
        QFETCH(QString, fault);
        QFETCH(QString, words);
        Rig rig;
        const QHash<QString, QString> versions{
            {u"older inside"_s, u"0.9"_s}, {u"newer inside"_s, u"3.0"_s}, {u"same inside"_s, u"1.0.0"_s}};
        const auto change = [&](const QString& folder) {
            if (fault == u"too long") { // past the little slack a download is given
                QByteArray noise(512 * 1024, Qt::Uninitialized);
                for (char& byte : noise)
                    byte = char(QRandomGenerator::global()->bounded(256));
                writeFile(folder + u"/Contents/noise"_s, noise);
            }
            if (fault == u"link out")
                QVERIFY(QFile::link(u"/etc/passwd"_s, folder + u"/Contents/passwd"_s));
            if (fault == u"kestrin link") {
                QVERIFY(QFile::rename(folder + u"/Contents/bin/kestrin"_s, folder + u"/Contents/bin/real"_s));
                QVERIFY(QFile::link(u"real"_s, folder + u"/Contents/bin/kestrin"_s));
            }
            if (fault == u"no tray")
                QVERIFY(QFile::remove(folder + u"/Contents/bin/kestrin-tray"_s));
            if (fault == u"no module")
                QVERIFY(QFile::remove(folder + u"/Contents/lib/kestrin-network.so"_s));
            if (fault == u"contents link") {
                QVERIFY(QFile::rename(folder + u"/Contents"_s, folder + u"/Real"_s));
                QVERIFY(QFile::link(u"Real"_s, folder + u"/Contents"_s));
            }
        };
        QByteArray archive = rig.published(fault == u"other identifier" ? u"com.example.other"_s : identifier,
                                           versions.value(fault, u"2.0"_s), change);
        if (fault == u"not a zip")
            archive = QByteArray(4096, 'z');
        QByteArray signature = rig.publisher.sign(archive);
        if (fault == u"tampered")
            archive[archive.size() / 2] = char(archive[archive.size() / 2] ^ 0x20);
        if (fault == u"other key")
            signature = UpdateKeyPair().sign(archive);
        rig.offer(archive, signature, fault == u"missing" ? 404 : 200,
                  fault == u"too long" ? archive.size() / 2 : 0);
        rig.start();
        QTRY_VERIFY(rig.shows<UpdateAlert::Offered>());
        rig.model->answer(UpdateAnswer::installOnQuit);
        QTRY_VERIFY(rig.shows<UpdateAlert::Failed>());
        QCOMPARE(rig.alert()->detail(), words);
        QCOMPARE(rig.model->reminder(), UpdateReminder());
        QVERIFY(!QFileInfo::exists(rig.staging()));
        rig.model->answer(UpdateAnswer::ok);
        QVERIFY(!rig.alert());
        rig.model->windDown();
        rig.settle();
        rig.model->installOnQuit();
        QCOMPARE(rig.runs(), QByteArray("#!/bin/sh\necho 'old'\n"));
        QVERIFY(!QFileInfo::exists(rig.previous()));
        // Only the log hears why.
        QCOMPARE(rig.notes.size(), 1);
        QVERIFY2(rig.notes.first().startsWith(u"An update was refused or failed: "_s),
                 qPrintable(rig.notes.first()));
    }

    // What the refused copies held never reaches the folder: a link in the published copy is gone
    // with the staging folder, and modes that let others write are taken away on the way in.
    void anInstalledCopyIsNotWritableByOthers() {
        Rig rig;
        const QByteArray archive = rig.published(identifier, u"2.0"_s, [](const QString& folder) {
            QFile::setPermissions(folder + u"/Contents/bin/kestrin"_s,
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                      QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                                      QFile::WriteOther | QFile::ExeOther);
            QVERIFY(QFile::link(u"bin/kestrin"_s, folder + u"/Contents/run"_s)); // inside: fine
        });
        rig.offer(archive, rig.publisher.sign(archive));
        rig.start();
        QTRY_VERIFY(rig.shows<UpdateAlert::Offered>());
        rig.model->answer(UpdateAnswer::installOnQuit);
        QTRY_VERIFY(rig.shows<UpdateAlert::Ready>());
        // The staging folder keeps every other account out.
        QCOMPARE(QFileInfo(rig.staging()).permissions() & (QFile::ReadOther | QFile::ReadGroup),
                 QFile::Permissions());
        rig.model->windDown();
        rig.settle();
        rig.model->installOnQuit();
        const QFileInfo kestrin(rig.app + u"/Contents/bin/kestrin"_s);
        QCOMPARE(rig.runs(), QByteArray("#!/bin/sh\necho 'new'\n"));
        QVERIFY(kestrin.isExecutable());
        QCOMPARE(kestrin.permissions() & (QFile::WriteGroup | QFile::WriteOther), QFile::Permissions());
        QVERIFY(QFileInfo(rig.app + u"/Contents/run"_s).isSymLink());
    }

    // Two copies started from one folder: each keeps its own staging folder, and a start clears only
    // those whose run has ended (earlier versions' one staging folder included).
    void aStartLeavesAnotherRunsUpdateAlone() {
        QTemporaryDir root;
        const QString app = root.filePath(u"Kestrin"_s);
        makeApplicationFolder(app, identifier, u"1.0"_s, "old");
        ApplicationFolderSwap first(app);
        const auto kept = first.beginStaging();
        QVERIFY(kept);
        QVERIFY(QDir().mkpath(root.filePath(u".Kestrin-update"_s)));
        QVERIFY(QDir().mkpath(root.filePath(u".Kestrin-update-gone12"_s))); // a run that crashed
        ApplicationFolderSwap second(app);
        second.tidy();
        QVERIFY(QFileInfo(*kept).isDir());
        QVERIFY(!QFileInfo::exists(root.filePath(u".Kestrin-update"_s)));
        QVERIFY(!QFileInfo::exists(root.filePath(u".Kestrin-update-gone12"_s)));
        const auto own = second.beginStaging();
        QVERIFY(own && *own != *kept);
        first.endStaging();
        QVERIFY(!QFileInfo::exists(*kept));
        QVERIFY(QFileInfo(*own).isDir());
    }

    // A copy whose folder sits where other accounts can write does not update itself: another account
    // could put its own copy there before a quit. The key and the terminal say why.
    void aCopyBesideOthersFoldersDoesNotUpdateItself() {
        Rig rig;
        QVERIFY(!othersCanWriteBeside(rig.app));
        QVERIFY(QFile::setPermissions(rig.root.path(), QFile::permissions(rig.root.path()) |
                                                           QFile::WriteOther | QFile::ExeOther |
                                                           QFile::ReadOther));
        QVERIFY(othersCanWriteBeside(rig.app));
        rig.start();
        QVERIFY(!rig.model->canCheckForUpdates());
        rig.model->holdBack();
        QVERIFY(rig.model->heldBack());
        QVERIFY(!rig.model->key().enabled);
        QCOMPARE(rig.model->key().smallPrint, std::optional(UpdateKey::sharedFolderNote.toString()));
        QCOMPARE(rig.notes, QStringList{UpdateWords::sharedFolder.toString()});
        QVERIFY(rig.server.requests().isEmpty());
    }

    // Under a feed that comes over https, an archive offered over http is not offered at all.
    void anArchiveInTheClearIsNotOfferedUnderASecureFeed_data() {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<bool>("offered");
        QTest::newRow("https") << u"https://updates.example/K.zip"_s << true;
        QTest::newRow("http") << u"http://updates.example/K.zip"_s << false;
    }
    void anArchiveInTheClearIsNotOfferedUnderASecureFeed() {
        QFETCH(QString, archive);
        QFETCH(bool, offered);
        QTemporaryDir root;
        auto fetcher = std::make_shared<ChattyFetcher>();
        fetcher->archive = archive;
        const std::unique_ptr<AppcastUpdater> owned = secureFeedUpdater(root, fetcher);
        AppcastUpdater& updater = *owned;
        updater.startUpdater();
        updater.checkForUpdates();
        QTRY_VERIFY(updater.alert() &&
                    !std::holds_alternative<UpdateAlert::Checking>(updater.alert()->value));
        QCOMPARE(std::holds_alternative<UpdateAlert::Offered>(updater.alert()->value), offered);
        updater.windDown();
        QCoro::waitFor(updater.settled());
    }

    // The updater's own check says nothing unless it finds an update the person has not skipped; a check
    // the person asks for always answers, a skipped version included.
    void checksSpeakOnlyWhenTheyHaveSomethingToSay_data() {
        QTest::addColumn<QString>("feed");
        QTest::addColumn<bool>("skipped");
        QTest::addColumn<bool>("userInitiated");
        QTest::addColumn<QString>("headline");
        QTest::newRow("nothing newer, by itself") << u"old"_s << false << false << QString();
        QTest::newRow("nothing newer, asked") << u"old"_s << false << true << u"You’re up to date"_s;
        QTest::newRow("feed down, by itself") << u"down"_s << false << false << QString();
        QTest::newRow("feed down, asked") << u"down"_s << false << true << u"Update failed"_s;
        QTest::newRow("not a feed, asked") << u"junk"_s << false << true << u"You’re up to date"_s;
        QTest::newRow("skipped, by itself") << u"new"_s << true << false << QString();
        QTest::newRow("skipped, asked")
            << u"new"_s << true << true << u"A new version of Kestrin is available"_s;
    }
    void checksSpeakOnlyWhenTheyHaveSomethingToSay() {
        QFETCH(QString, feed);
        QFETCH(bool, skipped);
        QFETCH(bool, userInitiated);
        QFETCH(QString, headline);
        Rig rig;
        const QString url = u"http://localhost:%1/Kestrin.zip"_s.arg(rig.server.port());
        if (skipped)
            rig.defaults->setString(AppcastUpdater::skippedVersionKey.toString(), u"2.0"_s);
        const ScriptedReply reply =
            feed == u"down"   ? ScriptedReply{.status = 500, .body = "no"}
            : feed == u"junk" ? ScriptedReply{.body = "{\"not\": \"a feed\"}"}
                              : ScriptedReply{.body = feedOffering(feed == u"new" ? u"2.0"_s : u"1.0"_s, url,
                                                                   10, QByteArray(64, 's'))};
        if (userInitiated) {
            rig.server.answer({.body = feedOffering(u"1.0"_s, url, 10, QByteArray(64, 's'))}); // at start
            rig.start();
            QTRY_COMPARE(rig.server.requests().size(), 1);
            rig.settle();
            QVERIFY(!rig.alert());
            rig.server.answer(reply);
            rig.model->check();
            QVERIFY(rig.shows<UpdateAlert::Checking>());
            QTRY_COMPARE(rig.server.requests().size(), 2);
        } else {
            rig.server.answer(reply);
            rig.start();
            QTRY_COMPARE(rig.server.requests().size(), 1);
        }
        rig.settle();
        QCOMPARE(rig.alert() ? rig.alert()->headline() : QString(), headline);
        QCOMPARE(rig.model->key().lit, false); // lit only by an alert the person did not ask for
        QVERIFY(!QFileInfo::exists(rig.staging()));
        rig.model->windDown();
    }

    // "Skip This Version" keeps the version from the updater's own checks; "Remind Me Later" only closes
    // the alert, so the next check offers it again.
    void theAnswersToAnOffer() {
        Rig rig;
        const QString url = u"http://localhost:%1/Kestrin.zip"_s.arg(rig.server.port());
        const QByteArray feed = feedOffering(u"2.0"_s, url, 10, QByteArray(64, 's'));
        for (int i = 0; i < 3; ++i)
            rig.server.answer({.body = feed});
        rig.start(std::chrono::milliseconds(150));
        QTRY_VERIFY(rig.shows<UpdateAlert::Offered>());
        rig.model->answer(UpdateAnswer::ok);
        QVERIFY(rig.shows<UpdateAlert::Offered>()); // an answer the alert does not offer changes nothing
        rig.model->answer(UpdateAnswer::remindMeLater);
        QVERIFY(!rig.alert());
        QVERIFY(!rig.model->key().lit);
        QTRY_VERIFY(rig.shows<UpdateAlert::Offered>()); // at the next check
        QVERIFY(rig.model->key().lit);
        rig.model->answer(UpdateAnswer::skipThisVersion);
        QCOMPARE(rig.defaults->string(AppcastUpdater::skippedVersionKey.toString()), u"2.0"_s);
        QVERIFY(!rig.model->key().lit);
        QTRY_COMPARE(rig.server.requests().size(), 3);
        rig.settle();
        QVERIFY(!rig.alert());
        QVERIFY(!QFileInfo::exists(rig.staging()));
        rig.model->windDown();
    }

    // A quit that comes while the archive downloads stops it and leaves nothing beside the folder; a
    // swap whose new folder has gone leaves the old copy in place and says so in the log.
    void aQuitNeverLeavesAHalfUpdate() {
        Rig rig;
        const QString url = u"http://localhost:%1/Kestrin.zip"_s.arg(rig.server.port());
        rig.server.answer({.body = feedOffering(u"2.0"_s, url, 10, QByteArray(64, 's'))});
        rig.server.answer({.kind = ScriptedReply::Kind::silent});
        rig.start();
        QTRY_VERIFY(rig.shows<UpdateAlert::Offered>());
        rig.model->answer(UpdateAnswer::installOnQuit);
        QTRY_COMPARE(rig.server.requests().size(), 2);
        QVERIFY(rig.shows<UpdateAlert::Downloading>());
        rig.model->windDown();
        QVERIFY(!rig.model->canCheckForUpdates());
        QVERIFY(!rig.alert());
        rig.settle();
        rig.model->installOnQuit();
        QVERIFY(!QFileInfo::exists(rig.staging()));
        QCOMPARE(rig.runs(), QByteArray("#!/bin/sh\necho 'old'\n"));

        Rig swap;
        const QByteArray archive = swap.published();
        swap.offer(archive, swap.publisher.sign(archive));
        swap.start();
        QTRY_VERIFY(swap.shows<UpdateAlert::Offered>());
        swap.model->answer(UpdateAnswer::installOnQuit);
        QTRY_VERIFY(swap.shows<UpdateAlert::Ready>());
        QVERIFY(QDir(swap.staging() + u"/unpacked-2/Kestrin"_s).removeRecursively());
        swap.model->windDown();
        swap.settle();
        swap.model->installOnQuit();
        QCOMPARE(swap.runs(), QByteArray("#!/bin/sh\necho 'old'\n"));
        QCOMPARE(swap.notes.size(), 2);
        QVERIFY2(swap.notes.last().startsWith(u"The update could not be installed, so this copy stays: "_s),
                 qPrintable(swap.notes.last()));
    }

    // A download's progress shows in whole hundredths, not once for every chunk, up to the whole size.
    void progressShowsInWholeSteps() {
        QTemporaryDir root;
        const std::unique_ptr<AppcastUpdater> owned =
            secureFeedUpdater(root, std::make_shared<ChattyFetcher>());
        AppcastUpdater& updater = *owned;
        QList<double> shown;
        QObject::connect(&updater, &Updater::alertChanged, &updater, [&] {
            if (const std::optional<double> progress =
                    updater.alert() ? updater.alert()->progress() : std::nullopt)
                shown.append(*progress);
        });
        updater.startUpdater();
        QTRY_VERIFY(updater.alert());
        updater.answer(UpdateAnswer::installOnQuit);
        QTRY_VERIFY(std::holds_alternative<UpdateAlert::Failed>(updater.alert()->value)); // the signature
        QCOMPARE(shown.size(), 101);
        QCOMPARE(shown.front(), 0.0);
        QCOMPARE(shown.back(), 1.0);
        updater.windDown();
        QCoro::waitFor(updater.settled());
    }

    // Cancelling a check the person asked for, or a download, ends the session at once and leaves nothing.
    void cancelEndsTheSession() {
        Rig rig;
        const QString url = u"http://localhost:%1/Kestrin.zip"_s.arg(rig.server.port());
        rig.server.answer({.body = feedOffering(u"1.0"_s, url, 10, QByteArray(64, 's'))});
        rig.server.answer({.kind = ScriptedReply::Kind::silent});
        rig.server.answer({.body = feedOffering(u"2.0"_s, url, 10, QByteArray(64, 's'))});
        rig.server.answer({.kind = ScriptedReply::Kind::silent});
        rig.start();
        QTRY_COMPARE(rig.server.requests().size(), 1);
        rig.settle();
        rig.model->check();
        QTRY_COMPARE(rig.server.requests().size(), 2);
        rig.model->answer(UpdateAnswer::cancel);
        QVERIFY(!rig.alert());
        rig.settle();
        QVERIFY(!rig.alert());

        rig.model->check();
        QTRY_VERIFY(rig.shows<UpdateAlert::Offered>());
        rig.model->answer(UpdateAnswer::installOnQuit);
        QTRY_COMPARE(rig.server.requests().size(), 4);
        QVERIFY(QFileInfo::exists(rig.staging()));
        rig.model->answer(UpdateAnswer::cancel);
        rig.settle();
        QVERIFY(!rig.alert());
        QVERIFY(!QFileInfo::exists(rig.staging()));
        QCOMPARE(rig.model->reminder(), UpdateReminder());
        rig.model->windDown();
    }
};

QTEST_GUILESS_MAIN(TestAppcastUpdater)
#include "tst_AppcastUpdater.moc"
