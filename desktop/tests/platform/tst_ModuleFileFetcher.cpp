// Fetching through the network module: it is mapped only once a fetch begins, and without it every
// fetch fails with a reason while discarding still works.
#include "support/RecordingHttpServer.h"

#include <corvane/ModuleFileFetcher.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <qcorotask.h>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

bool mapped(const QString& name) {
    QFile maps(u"/proc/self/maps"_s);
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(name.toUtf8());
}

} // namespace

class TestModuleFileFetcher : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theModuleIsLoadedAtTheFirstFetch() {
        RecordingHttpServer server;
        server.answer({.body = "the feed"});
        ModuleFileFetcher fetcher(QStringLiteral(NETWORK_MODULE));
        QVERIFY(!mapped(QLatin1StringView(ModuleFileFetcher::fileName)));
        const auto read =
            QCoro::waitFor(fetcher.read(QUrl(u"http://127.0.0.1:%1/feed"_s.arg(server.port()))));
        QVERIFY2(read, qPrintable(read ? QString() : read.error()));
        QCOMPARE(read->content, "the feed"_ba);
        QVERIFY(mapped(QLatin1StringView(ModuleFileFetcher::fileName)));
    }

    void withoutTheModuleEachFetchFailsAndSaysWhy() {
        QTemporaryDir folder;
        ModuleFileFetcher fetcher(folder.filePath(u"lib/kestrin-network.so"_s));
        const QUrl url(u"http://127.0.0.1:1/file"_s);
        const auto read = QCoro::waitFor(fetcher.read(url));
        QVERIFY(!read);
        QVERIFY2(read.error().startsWith(u"Kestrin could not load its network module: "_s),
                 qPrintable(read.error()));
        const QString to = folder.filePath(u"downloads/file"_s);
        const auto downloaded = QCoro::waitFor(fetcher.download(url, to, -1, {}));
        QCOMPARE(downloaded.error(), read.error());
        QVERIFY(!QFile::exists(to));
        fetcher.stopTransfers(); // nothing under way, nothing to stop

        QVERIFY(QDir(folder.path()).mkpath(u"partial/inner"_s));
        fetcher.discard(folder.filePath(u"partial"_s));
        QVERIFY(!QFile::exists(folder.filePath(u"partial"_s)));
    }
};

QTEST_GUILESS_MAIN(TestModuleFileFetcher)
#include "tst_ModuleFileFetcher.moc"
