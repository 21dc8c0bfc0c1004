#include <corvane/setup/HTTPReplyReader.h>

#include <QTest>

using namespace corvane;
using State = HTTPReplyReader::State;

Q_DECLARE_METATYPE(HTTPReplyReader::State)

// Every reply is read whole, a byte at a time and cut in two at each third, then the connection closes:
// where the bytes fall must never change what is read.
class tst_HTTPReplyReader : public QObject {
    Q_OBJECT

    struct Read {
        State beforeClose;
        State afterClose;
        int status;
        QByteArray body;
        bool cut;
        bool saysWhy;
        bool operator==(const Read&) const = default;
    };

    static Read read(const QList<QByteArray>& pieces, qsizetype limit) {
        HTTPReplyReader reader(limit);
        State state = State::reading;
        for (const QByteArray& piece : pieces)
            state = reader.take(piece);
        const State closed = reader.close();
        return {state, closed, reader.status(), reader.body(), reader.isCut(), !reader.failure().isEmpty()};
    }

    static QList<QList<QByteArray>> cuttings(const QByteArray& wire) {
        QList<QByteArray> bytes;
        for (const char c : wire)
            bytes.append(QByteArray(1, c));
        QList<QList<QByteArray>> all{{wire}, bytes};
        for (const qsizetype at : {wire.size() / 3, 2 * wire.size() / 3})
            all.append({wire.left(at), wire.mid(at)});
        return all;
    }

private Q_SLOTS:
    void readsWhereverTheBytesFall_data() {
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<int>("limit");
        QTest::addColumn<State>("beforeClose");
        QTest::addColumn<State>("afterClose");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("cut");
        const auto complete = State::complete;
        const auto reading = State::reading;
        const auto failed = State::failed;

        QTest::newRow("sized") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello") << 100
                               << complete << complete << 200 << QByteArray("hello") << false;
        QTest::newRow("sized, header names in any case, no reason")
            << QByteArray("HTTP/1.1 404\r\ncOnTeNt-LeNgTh:  2 \r\n\r\n{}") << 100 << complete << complete
            << 404 << QByteArray("{}") << false;
        QTest::newRow("what follows the reply is ignored")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n{}HTTP/1.1 500 X\r\n\r\n") << 100
            << complete << complete << 200 << QByteArray("{}") << false;
        QTest::newRow("empty") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n") << 100
                               << complete << complete << 200 << QByteArray() << false;
        QTest::newRow("no content") << QByteArray("HTTP/1.1 204 No Content\r\n\r\n") << 100 << complete
                                    << complete << 204 << QByteArray() << false;
        QTest::newRow("an interim reply first")
            << QByteArray("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 201 Created\r\nContent-Length: 1\r\n\r\nx")
            << 100 << complete << complete << 201 << QByteArray("x") << false;
        QTest::newRow("chunked, with an extension and a trailer")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                          "5;name=value\r\nhello\r\nA\r\n, chunked!\r\n0\r\nX-Trailer: 1\r\n\r\n")
            << 100 << complete << complete << 200 << QByteArray("hello, chunked!") << false;
        QTest::newRow("chunked wins over a length")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 99\r\nTransfer-Encoding: "
                          "chunked\r\n\r\n2\r\nok\r\n0\r\n\r\n")
            << 100 << complete << complete << 200 << QByteArray("ok") << false;
        QTest::newRow("running to the close")
            << QByteArray("HTTP/1.0 200 OK\r\n\r\nuntil the end") << 100 << reading << complete << 200
            << QByteArray("until the end") << false;
        QTest::newRow("shorter than it said: a reply all the same")
            << QByteArray("HTTP/1.1 500 Oops\r\nContent-Length: 100\r\n\r\n{\"err") << 100 << reading
            << complete << 500 << QByteArray("{\"err") << false;
        QTest::newRow("a chunked reply cut short")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhel") << 100 << reading
            << complete << 200 << QByteArray("hel") << false;
        QTest::newRow("sized past the limit: cut there")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n0123456789") << 4 << complete
            << complete << 200 << QByteArray("0123") << true;
        QTest::newRow("chunked past the limit: cut there")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\n012\r\n3\r\n345\r\n")
            << 4 << complete << complete << 200 << QByteArray("0123") << true;
        QTest::newRow("to the close past the limit: cut there")
            << QByteArray("HTTP/1.1 200 OK\r\n\r\n0123456789") << 4 << complete << complete << 200
            << QByteArray("0123") << true;

        QTest::newRow("not HTTP") << QByteArray("SSH-2.0-OpenSSH\r\n\r\n") << 100 << failed << failed << 0
                                  << QByteArray() << false;
        QTest::newRow("a status that is not three digits") << QByteArray("HTTP/1.1 2000 OK\r\n\r\n") << 100
                                                           << failed << failed << 0 << QByteArray() << false;
        QTest::newRow("a length that is not a number")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\n") << 100 << failed << failed << 0
            << QByteArray() << false;
        QTest::newRow("two lengths that differ")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab") << 100
            << failed << failed << 0 << QByteArray() << false;
        QTest::newRow("a chunk size that is not hexadecimal")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n") << 100 << failed
            << failed << 0 << QByteArray() << false;
        QTest::newRow("a chunk longer than its size")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\nab\r\n") << 100 << failed
            << failed << 0 << QByteArray() << false;
        QTest::newRow("closed before the headers ended") << QByteArray("HTTP/1.1 200 OK\r\nContent-") << 100
                                                         << reading << failed << 0 << QByteArray() << false;
        QTest::newRow("closed before a byte came")
            << QByteArray() << 100 << reading << failed << 0 << QByteArray() << false;
        QTest::newRow("headers past 64 KiB")
            << QByteArray("HTTP/1.1 200 OK\r\nX: " + QByteArray(HTTPReplyReader::maxHeadBytes, 'a') +
                          "\r\n\r\n")
            << 100 << failed << failed << 0 << QByteArray() << false;
    }

    void readsWhereverTheBytesFall() {
        QFETCH(QByteArray, wire);
        QFETCH(int, limit);
        QFETCH(State, beforeClose);
        QFETCH(State, afterClose);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, cut);
        const Read expected{beforeClose, afterClose, status, body, cut, afterClose == State::failed};
        // A byte at a time through 64 KiB of headers is slow and proves nothing more.
        const QList<QList<QByteArray>> all =
            wire.size() > 4096 ? QList<QList<QByteArray>>{{wire}} : cuttings(wire);
        for (const QList<QByteArray>& pieces : all) {
            const Read got = read(pieces, limit);
            QVERIFY2(got == expected, qPrintable(QStringLiteral("in %1 pieces: %2 %3 '%4'")
                                                     .arg(pieces.size())
                                                     .arg(int(got.afterClose))
                                                     .arg(got.status)
                                                     .arg(QString::fromLatin1(got.body))));
        }
    }
};

QTEST_GUILESS_MAIN(tst_HTTPReplyReader)
#include "tst_HTTPReplyReader.moc"
