// The update feed's reader against good and hostile feeds, and the version order that picks the
// newest update.

#include <corvane/updates/Appcast.h>

#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray signature = QByteArray(64, '\x5a').toBase64();

QByteArray feedOf(const QByteArray& items) {
    return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
  <channel><title>Kestrin</title>)" +
           items + "</channel></rss>";
}

QByteArray itemOf(const QByteArray& version, const QByteArray& enclosureExtra = {},
                  const QByteArray& sig = signature) {
    return "<item><title>Version " + version + "</title><sparkle:version>" + version +
           "</sparkle:version><description><![CDATA[<h2>New</h2><p>Faster &amp; calmer.</p>]]></description>"
           "<enclosure url=\"https://updates.example/Kestrin-" +
           version + ".tar.gz\" length=\"1234\" type=\"application/octet-stream\" sparkle:edSignature=\"" +
           sig + "\" " + enclosureExtra + "/></item>";
}

} // namespace

class TestAppcast : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsAGoodFeed() {
        const QList<AppcastItem> items =
            Appcast::items(feedOf(itemOf("200", "sparkle:shortVersionString=\"0.2.0\"") + itemOf("150")));
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0].version, u"200"_s);
        QCOMPARE(items[0].shortVersion, u"0.2.0"_s);
        QCOMPARE(items[0].url, QUrl(u"https://updates.example/Kestrin-200.tar.gz"_s));
        QCOMPARE(items[0].length, 1234);
        QCOMPARE(items[0].edSignature, QByteArray(64, '\x5a'));
        QCOMPARE(items[0].releaseNotes, u"New\nFaster & calmer."_s);
        QCOMPARE(items[1].shortVersion, u"150"_s); // no short version: the version
        QCOMPARE(Appcast::newest(items, u"100"_s)->version, u"200"_s);
        QCOMPARE(Appcast::newest(items, u"200"_s), std::nullopt);
    }

    void hostileFeeds_data() {
        QTest::addColumn<QByteArray>("feed");
        QTest::addColumn<int>("usable");
        QTest::newRow("no items") << feedOf({}) << 0;
        QTest::newRow("not XML") << QByteArray("\x00\xff garbage <<<", 15) << 0;
        QTest::newRow("no signature") << feedOf(itemOf("2", {}, {})) << 0;
        QTest::newRow("a short signature") << feedOf(itemOf("2", {}, QByteArray(63, 'a').toBase64())) << 0;
        QTest::newRow("a signature that is not Base64") << feedOf(itemOf("2", {}, "@@@@")) << 0;
        QTest::newRow("no version") << feedOf(itemOf("")) << 0;
        QTest::newRow("a file address")
            << feedOf(itemOf("2").replace("https://updates.example", "file:///etc")) << 0;
        QTest::newRow("no length") << feedOf(itemOf("2").replace("length=\"1234\"", "length=\"-5\"")) << 0;
        QTest::newRow("cut off in the second item") << feedOf(itemOf("2") + itemOf("3")).left(700) << 1;
        QTest::newRow("one good among bad") << feedOf(itemOf("2", {}, {}) + itemOf("3")) << 1;
        QByteArray huge;
        for (int i = 0; i < 5000; ++i)
            huge += itemOf(QByteArray::number(i));
        QTest::newRow("huge") << feedOf(huge) << int(Appcast::maxItems);
        QTest::newRow("an entity bomb")
            << QByteArray(
                   R"(<?xml version="1.0"?><!DOCTYPE r [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;"><!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;">]><rss><channel><item><description>&d;&d;&d;&d;</description></item></channel></rss>)")
            << 0;
    }
    void hostileFeeds() {
        QFETCH(QByteArray, feed);
        QFETCH(int, usable);
        QCOMPARE(Appcast::items(feed).size(), usable);
    }

    void theVersionOrder_data() {
        QTest::addColumn<QString>("older");
        QTest::addColumn<QString>("newer");
        QTest::newRow("numbers as numbers") << u"1.9"_s << u"1.10"_s;
        QTest::newRow("a longer one") << u"1.0"_s << u"1.0.1"_s;
        QTest::newRow("a beta before the release") << u"1.0b2"_s << u"1.0"_s;
        QTest::newRow("betas in order") << u"1.0b2"_s << u"1.0b10"_s;
        QTest::newRow("a release after a beta of the next") << u"1.0"_s << u"1.1b1"_s;
        QTest::newRow("builds") << u"199"_s << u"200"_s;
        QTest::newRow("leading zeros") << u"1.02"_s << u"1.3"_s;
    }
    void theVersionOrder() {
        QFETCH(QString, older);
        QFETCH(QString, newer);
        QCOMPARE(Appcast::compareVersions(older, newer), -1);
        QCOMPARE(Appcast::compareVersions(newer, older), 1);
        QCOMPARE(Appcast::compareVersions(newer, newer), 0);
    }

    // The same version written longer is the same version: "0.1.0.0" is not offered to a 0.1.0 copy.
    void theSameVersionWrittenLonger_data() {
        QTest::addColumn<QString>("shorter");
        QTest::addColumn<QString>("longer");
        QTest::newRow("a zero more") << u"0.1.0"_s << u"0.1.0.0"_s;
        QTest::newRow("zeros written long") << u"2"_s << u"2.00.0"_s;
    }
    void theSameVersionWrittenLonger() {
        QFETCH(QString, shorter);
        QFETCH(QString, longer);
        QCOMPARE(Appcast::compareVersions(shorter, longer), 0);
        QCOMPARE(Appcast::compareVersions(longer, shorter), 0);
        const AppcastItem item{.version = longer, .shortVersion = longer};
        QVERIFY(!Appcast::newest({item}, shorter));
    }
};

QTEST_GUILESS_MAIN(TestAppcast)
#include "tst_Appcast.moc"
