// Where the menu panel appears beside the tray icon, wherever the panel with the tray sits.

#include <corvane/tray/PopupPlacement.h>

#include <QTest>

using namespace corvane;

class TestPopupPlacement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void place_data() {
        QTest::addColumn<QRect>("anchor");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("topLeft");
        // A 400 × 700 panel throughout.
        QTest::newRow("top bar, icon at the right")
            << QRect(1880, 4, 24, 24) << QRect(0, 32, 1920, 1048) << QPoint(1504, 32);
        QTest::newRow("bottom panel, icon at the right")
            << QRect(1850, 1050, 24, 24) << QRect(0, 0, 1920, 1044) << QPoint(1474, 1044 - 700);
        QTest::newRow("bottom panel, icon at the far left")
            << QRect(8, 1050, 24, 24) << QRect(0, 0, 1920, 1044) << QPoint(0, 1044 - 700);
        QTest::newRow("left panel, icon low")
            << QRect(8, 900, 24, 24) << QRect(40, 0, 1880, 1080) << QPoint(40, 900 - 4 - 700);
        QTest::newRow("right panel, icon high")
            << QRect(1888, 100, 24, 24) << QRect(0, 0, 1880, 1080) << QPoint(1480, 128);
        QTest::newRow("second screen to the right, top bar")
            << QRect(3800, 4, 24, 24) << QRect(1920, 32, 1920, 1048) << QPoint(3424, 32);
        QTest::newRow("a screen smaller than the panel")
            << QRect(300, 4, 24, 24) << QRect(0, 28, 360, 600) << QPoint(0, 28);
    }
    void place() {
        QFETCH(QRect, anchor);
        QFETCH(QRect, available);
        QFETCH(QPoint, topLeft);
        const QSize popup(400, 700);
        const QPoint at = PopupPlacement::place(anchor, popup, available);
        QCOMPARE(at, topLeft);
        // Wholly on screen whenever it can be.
        if (available.width() >= popup.width() && available.height() >= popup.height())
            QVERIFY(available.contains(QRect(at, popup)));
    }
};

QTEST_GUILESS_MAIN(TestPopupPlacement)
#include "tst_PopupPlacement.moc"
