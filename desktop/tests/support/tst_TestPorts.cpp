// The ports suites give the servers they start: never in the kernel's ephemeral range, free when
// handed out, and never the same one twice.

#include "TestPorts.h"

#include <QTest>

using PortRanges = QList<std::pair<int, int>>;

class TestPorts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theRangesLeaveOutTheEphemeralOnes_data() {
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::addColumn<PortRanges>("expected");
        QTest::newRow("Linux's default") << 32768 << 60999 << PortRanges{{10000, 32767}, {61000, 65535}};
        QTest::newRow("all ports ephemeral") << 1024 << 65535 << PortRanges{};
        QTest::newRow("up to the top") << 40000 << 65535 << PortRanges{{10000, 39999}};
        QTest::newRow("low range") << 5000 << 9000 << PortRanges{{10000, 65535}};
        QTest::newRow("straddling the floor") << 8000 << 20000 << PortRanges{{20001, 65535}};
        QTest::newRow("one port each side") << 10001 << 65534 << PortRanges{{10000, 10000}, {65535, 65535}};
    }
    void theRangesLeaveOutTheEphemeralOnes() {
        QFETCH(int, low);
        QFETCH(int, high);
        QFETCH(PortRanges, expected);
        QCOMPARE(testPortRanges({low, high}), expected);
    }

    void eachPortIsFreeOutsideTheEphemeralRangeAndNew() {
        const auto [low, high] = ephemeralPortRange();
        if (testPortRanges({low, high}).isEmpty())
            QSKIP("This machine's ephemeral range leaves no port above 10000 outside it.");
        QSet<int> seen;
        for (int i = 0; i < 50; ++i) {
            const std::optional<int> port = freeTestPort();
            QVERIFY(port);
            QVERIFY2(*port < low || *port > high, qPrintable(QString::number(*port)));
            QVERIFY(*port >= 10000 && *port <= 65535);
            QVERIFY(!seen.contains(*port));
            seen.insert(*port);
            QTcpServer server;
            QVERIFY2(server.listen(QHostAddress::AnyIPv4, static_cast<quint16>(*port)),
                     qPrintable(server.errorString()));
        }
    }
};

QTEST_GUILESS_MAIN(TestPorts)
#include "tst_TestPorts.moc"
