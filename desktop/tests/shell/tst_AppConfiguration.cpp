#include <corvane/shell/AppConfiguration.h>
#include <corvane/shell/TestCopyEnvironment.h>
#include <corvane/welcome/WelcomeLaunch.h>

#include <QTest>

#include <cstdlib>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(corvane::Environment)
Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(std::optional<QByteArray>)

class TestAppConfiguration : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void resolvePort_data() {
        QTest::addColumn<std::optional<QString>>("value");
        QTest::addColumn<int>("port");
        const std::optional<QString> absent;
        QTest::newRow("plain") << std::optional(u"8080"_s) << 8080;
        QTest::newRow("plus sign") << std::optional(u"+8080"_s) << 8080;
        QTest::newRow("highest") << std::optional(u"65535"_s) << 65535;
        QTest::newRow("lowest") << std::optional(u"1"_s) << 1;
        QTest::newRow("leading zeros") << std::optional(u"008080"_s) << 8080;
        QTest::newRow("too high") << std::optional(u"65536"_s) << 9111;
        QTest::newRow("zero") << std::optional(u"0"_s) << 9111;
        QTest::newRow("negative") << std::optional(u"-1"_s) << 9111;
        QTest::newRow("empty") << std::optional(u""_s) << 9111;
        QTest::newRow("leading space") << std::optional(u" 8080"_s) << 9111;
        QTest::newRow("trailing space") << std::optional(u"8080 "_s) << 9111;
        QTest::newRow("trailing newline") << std::optional(u"8080\n"_s) << 9111;
        QTest::newRow("letter") << std::optional(u"80a"_s) << 9111;
        QTest::newRow("hexadecimal") << std::optional(u"0x50"_s) << 9111;
        QTest::newRow("lone plus") << std::optional(u"+"_s) << 9111;
        QTest::newRow("two signs") << std::optional(u"+-80"_s) << 9111;
        QTest::newRow("underscore") << std::optional(u"8_080"_s) << 9111;
        QTest::newRow("arabic-indic digits") << std::optional(u"٨٠٨٠"_s) << 9111;
        QTest::newRow("overflows 64 bits") << std::optional(u"99999999999999999999"_s) << 9111;
        QTest::newRow("absent") << absent << 9111;
    }
    void resolvePort() {
        QFETCH(std::optional<QString>, value);
        QFETCH(int, port);
        Environment environment{{u"OTHER"_s, u"1"_s}};
        if (value)
            environment.insert(u"CORVANE_PORT"_s, *value);
        QCOMPARE(AppConfiguration::resolvePort(environment), port);
    }

    void resolveRepoRoot_data() {
        QTest::addColumn<std::optional<QString>>("variable");
        QTest::addColumn<std::optional<QString>>("bundled");
        QTest::addColumn<std::optional<QString>>("root");
        const std::optional<QString> none;
        QTest::newRow("variable wins")
            << std::optional(u"/src/a"_s) << std::optional(u"/src/b"_s) << std::optional(u"/src/a"_s);
        QTest::newRow("variable kept unchanged")
            << std::optional(u"/src/a//"_s) << none << std::optional(u"/src/a//"_s);
        QTest::newRow("empty variable shows bundled")
            << std::optional(u""_s) << std::optional(u"/src/b"_s) << std::optional(u"/src/b"_s);
        QTest::newRow("bundled alone") << none << std::optional(u"/src/b"_s) << std::optional(u"/src/b"_s);
        QTest::newRow("empty bundled") << std::optional(u""_s) << std::optional(u""_s) << none;
        QTest::newRow("nothing") << none << none << none;
    }
    void resolveRepoRoot() {
        QFETCH(std::optional<QString>, variable);
        QFETCH(std::optional<QString>, bundled);
        QFETCH(std::optional<QString>, root);
        Environment environment;
        if (variable)
            environment.insert(u"CORVANE_REPO_ROOT"_s, *variable);
        QCOMPARE(AppConfiguration::resolveRepoRoot(environment, bundled), root);
    }

    void resolveExtraServerEnvironment_data() {
        QTest::addColumn<Environment>("environment");
        QTest::addColumn<Environment>("extra");
        QTest::newRow("prefix removed, value unchanged")
            << Environment{{u"CORVANE_SERVER_LOG_LEVEL"_s, u" debug "_s}, {u"HOME"_s, u"/h"_s}}
            << Environment{{u"LOG_LEVEL"_s, u" debug "_s}};
        QTest::newRow("bare prefix contributes nothing")
            << Environment{{u"CORVANE_SERVER_"_s, u"x"_s}} << Environment{};
        QTest::newRow("one letter, empty value")
            << Environment{{u"CORVANE_SERVER_X"_s, u""_s}} << Environment{{u"X"_s, u""_s}};
        QTest::newRow("prefix is case-sensitive")
            << Environment{{u"corvane_server_X"_s, u"1"_s}} << Environment{};
        QTest::newRow("other CORVANE variables ignored")
            << Environment{{u"CORVANE_PORT"_s, u"1"_s}, {u"CORVANE_SERVERX"_s, u"1"_s}} << Environment{};
    }
    void resolveExtraServerEnvironment() {
        QFETCH(Environment, environment);
        QFETCH(Environment, extra);
        QCOMPARE(AppConfiguration::resolveExtraServerEnvironment(environment), extra);
    }

    void applicationSupportDirectory_data() {
        QTest::addColumn<std::optional<QString>>("identifier");
        QTest::addColumn<QStringList>("dataLocations");
        QTest::addColumn<QString>("folder");
        QTest::newRow("platform answer, no identifier")
            << std::optional<QString>() << QStringList{u"/d/share"_s, u"/usr/share"_s}
            << u"/d/share/com.mossgate.corvane.mac"_s;
        QTest::newRow("platform answer, identifier")
            << std::optional(u"org.example.k"_s) << QStringList{u"/d/share"_s} << u"/d/share/org.example.k"_s;
        QTest::newRow("no platform answer") << std::optional<QString>() << QStringList{}
                                            << u"/home/p/.local/share/com.mossgate.corvane.mac"_s;
    }
    void applicationSupportDirectory() {
        QFETCH(std::optional<QString>, identifier);
        QFETCH(QStringList, dataLocations);
        QFETCH(QString, folder);
        QCOMPARE(AppConfiguration::applicationSupportDirectory(identifier, u"/home/p"_s, dataLocations),
                 folder);
    }

    void applicationSupportDirectoryFollowsXdgDataHome() {
        qputenv("XDG_DATA_HOME", "/tmp/kestrin-data");
        QCOMPARE(AppConfiguration::applicationSupportDirectory(std::nullopt, u"/home/p"_s),
                 u"/tmp/kestrin-data/com.mossgate.corvane.mac"_s);
        qunsetenv("XDG_DATA_HOME");
    }

    void testCopyAdditions_data() {
        QTest::addColumn<QVariantMap>("info");
        QTest::addColumn<Environment>("environment");
        QTest::addColumn<Environment>("additions");
        const QVariantMap offered{{u"CORVANE_PORT"_s, u"9200"_s},
                                  {u"CORVANE_LOG_DIR"_s, u"/tmp/logs"_s},
                                  {u"PATH"_s, u"/evil"_s},
                                  {u"CORVANE_NUMBER"_s, 42}};
        const QVariantMap testCopy{{u"CFBundleIdentifier"_s, u"com.mossgate.corvane.mac.updatetest"_s},
                                   {u"CVTestCopyEnvironment"_s, offered}};
        QTest::newRow("test copy adds prefixed strings")
            << testCopy << Environment{}
            << Environment{{u"CORVANE_PORT"_s, u"9200"_s}, {u"CORVANE_LOG_DIR"_s, u"/tmp/logs"_s}};
        QTest::newRow("existing variable wins, even empty")
            << testCopy << Environment{{u"CORVANE_PORT"_s, u"8080"_s}, {u"CORVANE_LOG_DIR"_s, u""_s}}
            << Environment{};
        QVariantMap shipping = testCopy;
        shipping.insert(u"CFBundleIdentifier"_s, u"com.mossgate.corvane.mac"_s);
        QTest::newRow("any other identifier adds nothing") << shipping << Environment{} << Environment{};
        QVariantMap notDictionary = testCopy;
        notDictionary.insert(u"CVTestCopyEnvironment"_s, u"CORVANE_PORT=1"_s);
        QTest::newRow("additions not a dictionary") << notDictionary << Environment{} << Environment{};
        QTest::newRow("no info dictionary") << QVariantMap{} << Environment{} << Environment{};
    }
    void testCopyAdditions() {
        QFETCH(QVariantMap, info);
        QFETCH(Environment, environment);
        QFETCH(Environment, additions);
        QCOMPARE(TestCopyEnvironment::additions(info, environment), additions);
    }

    void infoDictionary_data() {
        QTest::addColumn<std::optional<QByteArray>>("content");
        QTest::addColumn<QVariantMap>("info");
        QTest::newRow("object") << std::optional<QByteArray>(R"({"CFBundleIdentifier": "a.b", "n": 1})")
                                << QVariantMap{{u"CFBundleIdentifier"_s, u"a.b"_s}, {u"n"_s, 1.0}};
        QTest::newRow("array") << std::optional<QByteArray>("[1, 2]") << QVariantMap{};
        QTest::newRow("malformed") << std::optional<QByteArray>(R"({"CFBundleIdentifier": )")
                                   << QVariantMap{};
        QTest::newRow("missing") << std::optional<QByteArray>() << QVariantMap{};
    }
    void infoDictionary() {
        QFETCH(std::optional<QByteArray>, content);
        QFETCH(QVariantMap, info);
        const QTemporaryDir dir;
        const QString path = dir.filePath(u"Info.json"_s);
        if (content) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(*content);
        }
        QCOMPARE(readInfoDictionary(path), info);
    }

    void welcomeOpensByItself_data() {
        QTest::addColumn<bool>("completed");
        QTest::addColumn<std::optional<QString>>("suppress");
        QTest::addColumn<bool>("opens");
        const std::optional<QString> unset;
        QTest::newRow("first run") << false << unset << true;
        QTest::newRow("finished before") << true << unset << false;
        QTest::newRow("suppressed") << false << std::optional(u"1"_s) << false;
        QTest::newRow("suppressed, and finished") << true << std::optional(u"1"_s) << false;
        QTest::newRow("only exactly 1 suppresses") << false << std::optional(u"yes"_s) << true;
        QTest::newRow("empty does not suppress") << false << std::optional(u""_s) << true;
    }
    void welcomeOpensByItself() {
        QFETCH(bool, completed);
        QFETCH(std::optional<QString>, suppress);
        QFETCH(bool, opens);
        Environment environment;
        if (suppress)
            environment.insert(u"CORVANE_SUPPRESS_WELCOME"_s, *suppress);
        QCOMPARE(WelcomeLaunch::shouldAutoOpen(completed, environment), opens);
    }

    void testCopyApplyNeverOverwrites() {
        qputenv("CORVANE_PORT", "8181");
        qunsetenv("CORVANE_TEST_ONLY");
        const QVariantMap info{{u"CFBundleIdentifier"_s, u"com.mossgate.corvane.mac.updatetest"_s},
                               {u"CVTestCopyEnvironment"_s, QVariantMap{{u"CORVANE_PORT"_s, u"9200"_s},
                                                                        {u"CORVANE_TEST_ONLY"_s, u"yes"_s}}}};
        TestCopyEnvironment::apply(info);
        QCOMPARE(qgetenv("CORVANE_PORT"), "8181");
        QCOMPARE(qgetenv("CORVANE_TEST_ONLY"), "yes");
        qunsetenv("CORVANE_PORT");
        qunsetenv("CORVANE_TEST_ONLY");
    }
};

QTEST_GUILESS_MAIN(TestAppConfiguration)
#include "tst_AppConfiguration.moc"
