#include "support/TestSupport.h"

#include <corvane/supervision/ServerLog.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

void writeFile(const QString& path, const QByteArray& content, qint64 size = -1) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    if (size >= 0)
        QVERIFY(file.resize(size));
}

} // namespace

class TestServerLog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rotation_data() {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("rotated");
        QTest::newRow("exactly five million bytes") << qint64(5'000'000) << true;
        QTest::newRow("one byte fewer") << qint64(4'999'999) << false;
        QTest::newRow("far beyond") << qint64(6'000'000) << true;
    }
    void rotation() {
        QFETCH(qint64, size);
        QFETCH(bool, rotated);
        const QTemporaryDir dir;
        const QString log = dir.filePath(u"server.log"_s);
        const QString previous = dir.filePath(u"server.previous.log"_s);
        writeFile(log, "current\n", size);
        writeFile(previous, "older generation\n");

        QVERIFY(ServerLog::prepare(log));
        QCOMPARE(QFileInfo::exists(log), !rotated);
        // There is only ever one previous generation: the older one is gone once the log rotates.
        QCOMPARE(QFileInfo(previous).size(), rotated ? size : qint64(17));
        QCOMPARE(contentOf(previous).startsWith("current"), rotated);
    }

    void createsMissingFoldersAndToleratesNoFile() {
        const QTemporaryDir dir;
        const QString log = dir.filePath(u"a/b/c/server.log"_s);
        QVERIFY(ServerLog::prepare(log));
        QVERIFY(QFileInfo(dir.filePath(u"a/b/c"_s)).isDir());
        QVERIFY(!QFileInfo::exists(log));
    }

    void folderThatCannotBeCreatedFailsWithWords() {
        const QTemporaryDir dir;
        writeFile(dir.filePath(u"plain-file"_s), "x");
        const auto prepared = ServerLog::prepare(dir.filePath(u"plain-file/logs/server.log"_s));
        QVERIFY(!prepared);
        QVERIFY(prepared.error().contains(u"could not create the folder"_s));
    }

    void previousThatCannotBeRemovedFails() {
        const QTemporaryDir dir;
        const QString log = dir.filePath(u"server.log"_s);
        writeFile(log, "x", 5'000'000);
        // A folder in the previous generation's place cannot be deleted as a file.
        QVERIFY(QDir(dir.path()).mkpath(u"server.previous.log/inner"_s));
        QVERIFY(!ServerLog::prepare(log));
        QVERIFY(QFileInfo::exists(log));
    }
};

QTEST_GUILESS_MAIN(TestServerLog)
#include "tst_ServerLog.moc"
