// Reading the server's log for the log window and the terminal: whole lines from pieces read at any
// point, a real log file followed through growth, truncation, rotation and absence, and the model
// that reads it only while someone looks.

#include "support/HandLogFollower.h"

#include <corvane/supervision/LogTail.h>
#include <corvane/supervision/ServerLog.h>

#include <corvane/FileLogFollower.h>
#include <corvane/ServerLogModel.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(QList<QByteArray>)

namespace {

void write(const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode = QIODevice::Append) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | mode));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray numberedLines(int from, int to) {
    QByteArray bytes;
    for (int line = from; line <= to; ++line)
        bytes += "line " + QByteArray::number(line) + '\n';
    return bytes;
}

// The model over a real file in a folder of the test's own.
struct Followed {
    QTemporaryDir folder;
    QString path = folder.filePath(u"server.log"_s);
    ServerLogModel model{std::make_unique<FileLogFollower>(4096), path, 100};
};

} // namespace

class TestServerLogReading : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wholeLinesFromPieces_data() {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("one piece") << QList<QByteArray>{"a\nb\n"} << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("a line across pieces")
            << QList<QByteArray>{"ab", "c\nd", "\n"} << QStringList{u"abc"_s, u"d"_s};
        QTest::newRow("an unfinished line waits") << QList<QByteArray>{"a\nhalf"} << QStringList{u"a"_s};
        QTest::newRow("carriage returns") << QList<QByteArray>{"a\r\n\r\n"} << QStringList{u"a"_s, QString()};
        QTest::newRow("a character across pieces")
            << QList<QByteArray>{"caf\xc3", "\xa9\n"} << QStringList{u"café"_s};
        QTest::newRow("not UTF-8") << QList<QByteArray>{"\xff\xfe ok\n"} << QStringList{u"\ufffd\ufffd ok"_s};
        QTest::newRow("only the last lines are kept")
            << QList<QByteArray>{numberedLines(1, 5)} << QStringList{u"line 3"_s, u"line 4"_s, u"line 5"_s};
    }
    void wholeLinesFromPieces() {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(QStringList, lines);
        LogTail tail(3);
        for (const QByteArray& piece : pieces)
            tail.append(piece);
        QCOMPARE(tail.lines(), lines);
    }

    // A line that never ends is cut into pieces of bounded length, at characters' starts.
    void aRunawayLineIsCut() {
        LogTail tail;
        const QByteArray euros =
            QByteArray("\xe2\x82\xac").repeated(LogTail::longestLine); // three bytes each
        const QStringList completed = tail.append(euros);
        QVERIFY(completed.size() >= 2);
        for (const QString& line : completed) {
            QVERIFY(line.toUtf8().size() <= LogTail::longestLine);
            QVERIFY(!line.contains(QChar::ReplacementCharacter));
        }
        tail.append("\n");
        QCOMPARE(tail.lines().join(QString()), QString::fromUtf8(euros));
    }

    // Read only while someone looks: the first look starts the reading, the last one ends it; reads
    // replace or add lines, and a search finds lines whatever their case.
    void theModelReadsWhileSomeoneLooks() {
        auto owned = std::make_unique<HandLogFollower>();
        HandLogFollower& follower = *owned;
        ServerLogModel model(std::move(owned), u"/logs/server.log"_s, 3);
        QSignalSpy reset(&model, &ServerLogModel::reset);
        QSignalSpy added(&model, &ServerLogModel::added);
        model.open();
        model.open();
        QCOMPARE(follower.followed, QStringList{u"/logs/server.log"_s});
        follower.tell(LogRead::Kind::fromStart, "one\ntwo\n");
        QCOMPARE(model.lines(), (QStringList{u"one"_s, u"two"_s}));
        QCOMPARE(reset.count(), 1);
        follower.tell(LogRead::Kind::more, "Three\nfour\n");
        QCOMPARE(added.last().first().toStringList(), (QStringList{u"Three"_s, u"four"_s}));
        QCOMPARE(model.lines(), (QStringList{u"two"_s, u"Three"_s, u"four"_s}));
        QCOMPARE(model.linesMatching(u"thr"_s), QList<qsizetype>{1});
        QCOMPARE(model.linesMatching(QString()), QList<qsizetype>{});
        QCOMPARE(model.allText(), u"two\nThree\nfour\n"_s);
        follower.tell(LogRead::Kind::missing);
        QVERIFY(model.isMissing() && model.lines().isEmpty());
        model.close();
        QCOMPARE(follower.stops, 0);
        model.close();
        QCOMPARE(follower.stops, 1);
        follower.tell(LogRead::Kind::more, "late\n"); // under way when the last one left
        QVERIFY(model.lines().isEmpty());
        model.close(); // one close too many changes nothing
        QCOMPARE(follower.stops, 1);
        QCOMPARE(model.folder(), u"/logs"_s);
    }

    // A real file: its last lines at first, then what is written, as it is written.
    void aGrowingLogIsFollowed() {
        Followed f;
        write(f.path, numberedLines(1, 500));
        f.model.open();
        QTRY_VERIFY(f.model.hasRead());
        QCOMPARE(f.model.lines().size(), 100);
        QCOMPARE(f.model.lines().last(), u"line 500"_s);
        write(f.path, "line 501\nline 5");
        QTRY_COMPARE(f.model.lines().last(), u"line 501"_s);
        write(f.path, "02\n");
        QTRY_COMPARE(f.model.lines().last(), u"line 502"_s);
    }

    // Truncated, rotated (renamed aside and begun anew) or removed and made again: the log is read
    // afresh each time, without losing its place or showing lines twice.
    void aLogThatStartsOverIsReadAfresh() {
        Followed f;
        write(f.path, numberedLines(1, 3));
        f.model.open();
        QTRY_COMPARE(f.model.lines().size(), 3);

        write(f.path, "after truncation\n", QIODevice::Truncate);
        QTRY_COMPARE(f.model.lines(), QStringList{u"after truncation"_s});

        // Rotation: the old file moves aside; the new one starts short, so the old one's end comes first.
        QVERIFY(QFile::rename(f.path, f.folder.filePath(ServerLog::previousFileName.toString())));
        write(f.path, "a new generation\n");
        QTRY_COMPARE(f.model.lines(), (QStringList{u"after truncation"_s, u"a new generation"_s}));

        QVERIFY(QFile::remove(f.path));
        QTRY_VERIFY(f.model.isMissing());
        write(f.path, "back again\n");
        QTRY_VERIFY(!f.model.isMissing());
        QTRY_COMPARE(f.model.lines().last(), u"back again"_s);
    }

    // A log that is not there yet is said to be missing, and is found once it is made.
    void aMissingLogIsFoundOnceMade() {
        Followed f;
        f.model.open();
        QTRY_VERIFY(f.model.isMissing());
        write(f.path, "first\n");
        QTRY_COMPARE(f.model.lines(), QStringList{u"first"_s});
    }

    // Once nobody looks, nothing is read: the file is not watched.
    void nothingIsReadOnceClosed() {
        Followed f;
        write(f.path, "before\n");
        f.model.open();
        QTRY_VERIFY(f.model.hasRead());
        f.model.close();
        QSignalSpy added(&f.model, &ServerLogModel::added);
        QSignalSpy reset(&f.model, &ServerLogModel::reset);
        write(f.path, "while closed\n");
        QTest::qWait(300); // a watcher would have told by now
        QCOMPARE(added.count() + reset.count(), 0);
        f.model.open();
        QTRY_COMPARE(f.model.lines().last(), u"while closed"_s);
    }
};

QTEST_GUILESS_MAIN(TestServerLogReading)
#include "tst_ServerLogReading.moc"
