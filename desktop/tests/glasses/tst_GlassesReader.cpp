// What adb prints about the glasses, read into values: the device listing, the package listing, the
// package dump, the address listing and the install session's answers, each from real-format output
// and from the odd cases around it; and the Wi-Fi network's arithmetic.

#include <corvane/glasses/GlassesReader.h>

#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString header = u"List of devices attached\n"_s;
const QString glassesLine =
    u"0123456789ABCDEF       device usb:1-1 product:RayNeoX2 model:ARGF20 device:argf20 transport_id:3\n"_s;

GlassesLink ready(const QString& serial, std::optional<QString> model, std::optional<QString> product) {
    return {GlassesLink::Ready{ConnectedDevice{serial, std::move(model), std::move(product)}}};
}

} // namespace

class TestGlassesReader : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theDeviceListing_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<GlassesLink>("link");
        QTest::newRow("nothing at all") << QString() << GlassesLink{};
        QTest::newRow("only the header") << header << GlassesLink{};
        QTest::newRow("the glasses") << header + glassesLine
                                     << ready(u"0123456789ABCDEF"_s, u"ARGF20"_s, u"RayNeoX2"_s);
        QTest::newRow("not trusted yet and offline")
            << header + u"ABC unauthorized usb:1-1 transport_id:4\nemulator-5554 offline transport_id:1\n"_s
            << GlassesLink{GlassesLink::AwaitingApproval{}};
        QTest::newRow("offline alone") << header + u"emulator-5554 offline transport_id:1\n"_s
                                       << GlassesLink{GlassesLink::NotResponding{}};
        // What adb says on Linux when the USB rules keep the user out.
        QTest::newRow("no permissions")
            << header +
                   u"0123456789ABCDEF\tno permissions (missing udev rules? user is in the plugdev group); "
                   u"see [http://developer.android.com/tools/device.html] usb:1-1 transport_id:2\n"_s
            << GlassesLink{GlassesLink::NoPermission{}};
        QTest::newRow("no permissions, from an older adb")
            << header + u"????????????\tno permissions\n"_s << GlassesLink{GlassesLink::NoPermission{}};
        QTest::newRow("usable after one without permissions")
            << header + u"ABC no permissions; see [x]\n"_s + glassesLine
            << ready(u"0123456789ABCDEF"_s, u"ARGF20"_s, u"RayNeoX2"_s);
        QTest::newRow("usable after one not trusted")
            << header + u"ABC unauthorized usb:1-1\n"_s + glassesLine
            << ready(u"0123456789ABCDEF"_s, u"ARGF20"_s, u"RayNeoX2"_s);
        QTest::newRow("the first usable one wins")
            << header + u"PHONE device usb:2-1 product:oriole model:Pixel_6\n"_s + glassesLine
            << ready(u"PHONE"_s, u"Pixel_6"_s, u"oriole"_s);
        QTest::newRow("no model or product") << header + u"XYZ device\n"_s << ready(u"XYZ"_s, {}, {});
        QTest::newRow("the first model word wins")
            << u"XYZ device model:A model:B\n"_s << ready(u"XYZ"_s, u"A"_s, {});
        QTest::newRow("a state it does not know") << header + u"XYZ recovery\n"_s << GlassesLink{};
        QTest::newRow("carriage returns and tabs")
            << u"List of devices attached\r\nXYZ\tdevice\tmodel:ARGF20\r\n"_s
            << ready(u"XYZ"_s, u"ARGF20"_s, {});
    }
    void theDeviceListing() {
        QFETCH(QString, output);
        QFETCH(GlassesLink, link);
        QVERIFY(GlassesReader::link(output) == link);
    }

    void whichDevicesAreTheGlasses_data() {
        QTest::addColumn<std::optional<QString>>("model");
        QTest::addColumn<std::optional<QString>>("product");
        QTest::addColumn<bool>("glasses");
        const std::optional<QString> none;
        QTest::newRow("neither") << none << none << false;
        QTest::newRow("product in any case") << none << std::optional(u"rAyNeO_x2"_s) << true;
        QTest::newRow("model exactly") << std::optional(u"argf20"_s) << none << true;
        QTest::newRow("model in upper case") << std::optional(u"ARGF20"_s) << none << true;
        QTest::newRow("model with more") << std::optional(u"ARGF20X"_s) << none << false;
        QTest::newRow("a phone") << std::optional(u"Pixel_6"_s) << std::optional(u"oriole"_s) << false;
        QTest::newRow("a phone made by the same company")
            << std::optional(u"Pixel_6"_s) << std::optional(u"RayNeo_phone"_s) << true;
    }
    void whichDevicesAreTheGlasses() {
        QFETCH(std::optional<QString>, model);
        QFETCH(std::optional<QString>, product);
        QFETCH(bool, glasses);
        QCOMPARE((ConnectedDevice{u"S"_s, model, product}.looksLikeGlasses()), glasses);
    }

    void thePackageListing_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<std::optional<InstalledGlassesApp>>("installed");
        QTest::addColumn<bool>("updatesSilently");
        const auto owned = [](std::optional<QString> owner) {
            return std::optional(InstalledGlassesApp{std::move(owner)});
        };
        QTest::newRow("nothing") << QString() << std::optional<InstalledGlassesApp>() << false;
        QTest::newRow("another package") << u"package:com.example.app  installer=null\n"_s
                                         << std::optional<InstalledGlassesApp>() << false;
        QTest::newRow("installed by itself") << u"package:com.corvane.app  installer=com.corvane.app\n"_s
                                             << owned(u"com.corvane.app"_s) << true;
        QTest::newRow("installed by a store") << u"package:com.corvane.app  installer=com.android.vending\n"_s
                                              << owned(u"com.android.vending"_s) << false;
        QTest::newRow("installer null") << u"package:com.corvane.app  installer=null"_s << owned({}) << false;
        QTest::newRow("installer empty") << u"package:com.corvane.app  installer=\n"_s << owned({}) << false;
        QTest::newRow("no installer word") << u"package:com.corvane.app\n"_s << owned({}) << false;
        QTest::newRow("a longer name with the same start")
            << u"package:com.corvane.app.debug  installer=null\n"_s << owned({}) << false;
    }
    void thePackageListing() {
        QFETCH(QString, output);
        QFETCH(std::optional<InstalledGlassesApp>, installed);
        QFETCH(bool, updatesSilently);
        const auto read = GlassesReader::installed(output);
        QVERIFY(read == installed);
        QCOMPARE(read && read->updatesSilently(), updatesSilently);
    }

    void thePackageDump_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<std::optional<QString>>("version");
        QTest::addColumn<std::optional<qint64>>("code");
        const std::optional<QString> noVersion;
        const std::optional<qint64> noCode;
        QTest::newRow("nothing") << QString() << noVersion << noCode;
        QTest::newRow("a real excerpt")
            << u"Packages:\n  Package [com.corvane.app] (a1b2c3):\n    userId=10123\n"
               u"    versionCode=12 minSdk=29 targetSdk=34\n    versionName=1.4.0\n"_s
            << std::optional(u"1.4.0"_s) << std::optional<qint64>(12);
        QTest::newRow("an empty name decides")
            << u"    versionName=\n    versionName=2.0\n"_s << noVersion << noCode;
        QTest::newRow("a name ends at white space")
            << u"versionName=1.4.0 (beta)\n"_s << std::optional(u"1.4.0"_s) << noCode;
        QTest::newRow("a code that is not a number")
            << u"versionCode=abc\nversionCode=3\n"_s << noVersion << noCode;
        QTest::newRow("a code too large") << u"versionCode=99999999999999999999\n"_s << noVersion << noCode;
        QTest::newRow("a code with letters after")
            << u"versionCode=12x\n"_s << noVersion << std::optional<qint64>(12);
    }
    void thePackageDump() {
        QFETCH(QString, output);
        QFETCH(std::optional<QString>, version);
        QFETCH(std::optional<qint64>, code);
        QCOMPARE(GlassesReader::version(output), version);
        QCOMPARE(GlassesReader::versionCode(output), code);
    }

    void theAddressListing_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<GlassesWifi>("wifi");
        const QString loopback =
            u"1: lo    inet 127.0.0.1/8 scope host lo\\       valid_lft forever preferred_lft forever\n"_s;
        const GlassesWifi on{GlassesWifi::On{GlassesNetwork{u"192.168.1.20"_s, 24}}};
        QTest::newRow("nothing") << QString() << GlassesWifi{};
        QTest::newRow("only loopback") << loopback << GlassesWifi{GlassesWifi::Off{}};
        QTest::newRow("on Wi-Fi")
            << loopback + u"30: wlan0    inet 192.168.1.20/24 brd 192.168.1.255 scope global wlan0\\       "
                          u"valid_lft forever preferred_lft forever\n"_s
            << on;
        QTest::newRow("a prefix that is not a number")
            << loopback + u"30: wlan0    inet 192.168.1.20/xx brd 192.168.1.255 scope global wlan0\n"_s
            << GlassesWifi{GlassesWifi::Off{}};
        QTest::newRow("a mobile network only")
            << u"12: rmnet0    inet 10.1.2.3/30 scope global rmnet0\n"_s << GlassesWifi{GlassesWifi::Off{}};
        QTest::newRow("carriage returns between lines")
            << u"1: lo inet 127.0.0.1/8 scope host\r30: wlan0 inet 192.168.1.20/24 scope global\r"_s << on;
        QTest::newRow("no address after inet")
            << u"30: wlan0 scope global inet\n"_s << GlassesWifi{GlassesWifi::Off{}};
        QTest::newRow("too few words") << u"30: wlan0 inet\n"_s << GlassesWifi{};
    }
    void theAddressListing() {
        QFETCH(QString, output);
        QFETCH(GlassesWifi, wifi);
        QVERIFY(GlassesReader::wifi(output) == wifi);
        QCOMPARE(GlassesReader::wifi(output).network().has_value(), wifi.network().has_value());
    }

    void theInstallSessionsAnswers() {
        QCOMPARE(GlassesReader::sessionId(u"Success: created install session [42]"_s), u"42"_s);
        QCOMPARE(GlassesReader::sessionId(u"Success: created install session []"_s), std::nullopt);
        QCOMPARE(GlassesReader::sessionId(u"Success: created install session [4a]"_s), std::nullopt);
        QCOMPARE(GlassesReader::sessionId(u"Success: created install session [42"_s), std::nullopt);
        QCOMPARE(GlassesReader::sessionId(u"] then [7]"_s), u"7"_s);
        QVERIFY(GlassesReader::commitSucceeded(u"Success\n"_s));
        QVERIFY(GlassesReader::commitSucceeded(u"  Success  \nanything"_s));
        QVERIFY(!GlassesReader::commitSucceeded(u"Failure [INSTALL_FAILED_VERSION_DOWNGRADE]\n"_s));
        QVERIFY(!GlassesReader::commitSucceeded(u"Successful\n"_s));
        QVERIFY(!GlassesReader::commitSucceeded({}));
    }

    void theNetworksArithmetic_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("prefix");
        QTest::addColumn<QString>("other");
        QTest::addColumn<bool>("contains");
        QTest::newRow("same /24") << u"192.168.1.20"_s << 24 << u"192.168.1.77"_s << true;
        QTest::newRow("other /24") << u"192.168.1.20"_s << 24 << u"192.168.2.1"_s << false;
        QTest::newRow("prefix 0") << u"192.168.1.20"_s << 0 << u"8.8.8.8"_s << true;
        QTest::newRow("prefix 33") << u"192.168.1.20"_s << 33 << u"192.168.1.20"_s << false;
        QTest::newRow("prefix 32") << u"10.0.0.1"_s << 32 << u"10.0.0.1"_s << true;
        QTest::newRow("an address past 255") << u"192.168.1.20"_s << 0 << u"256.1.1.1"_s << false;
        QTest::newRow("three parts") << u"192.168.1.20"_s << 0 << u"1.2.3"_s << false;
        QTest::newRow("an empty part") << u"192.168.1.20"_s << 0 << u"1..2.3"_s << false;
        QTest::newRow("a sign") << u"192.168.1.20"_s << 0 << u"+1.2.3.4"_s << false;
        QTest::newRow("own address unreadable") << u"router"_s << 0 << u"1.2.3.4"_s << false;
    }
    void theNetworksArithmetic() {
        QFETCH(QString, address);
        QFETCH(int, prefix);
        QFETCH(QString, other);
        QFETCH(bool, contains);
        QCOMPARE((GlassesNetwork{address, prefix}.contains(other)), contains);
    }
};

QTEST_GUILESS_MAIN(TestGlassesReader)
#include "tst_GlassesReader.moc"
