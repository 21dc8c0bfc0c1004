// Which program starts Kestrin, as the login item writes it: kestrin, also when the running program is
// the tray's one that kestrin handed over to.

#include <corvane/TrayProgram.h>

#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

class TestTrayProgram : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void launcherPath_data() {
        QTest::addColumn<QString>("running");
        QTest::addColumn<QString>("launcher");
        QTest::newRow("kestrin itself")
            << u"/usr/lib/kestrin/Contents/bin/kestrin"_s << u"/usr/lib/kestrin/Contents/bin/kestrin"_s;
        QTest::newRow("the tray's program")
            << u"/usr/lib/kestrin/Contents/bin/kestrin-tray"_s << u"/usr/lib/kestrin/Contents/bin/kestrin"_s;
        QTest::newRow("a name that only begins the same")
            << u"/opt/k/kestrin-tray-old"_s << u"/opt/k/kestrin-tray-old"_s;
        QTest::newRow("another program")
            << u"/home/me/bin/tst_AppDelegate"_s << u"/home/me/bin/tst_AppDelegate"_s;
    }
    void launcherPath() {
        QFETCH(QString, running);
        QFETCH(QString, launcher);
        QCOMPARE(TrayProgram::launcherPath(running), launcher);
    }
};

QTEST_GUILESS_MAIN(TestTrayProgram)
#include "tst_TrayProgram.moc"
