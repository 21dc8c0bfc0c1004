// One voice that is true on Linux: no word the application shows names another system's parts (a Mac,
// macOS, Apple, the Finder, the Keychain, System Settings, the menu bar). Every string literal in the
// application's sources (its tests aside) is read for them.

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QRegularExpression
    otherSystem(uR"(\b(Mac|macOS|Apple|Finder|Keychain|System Settings)\b|\b[Mm]enu bar\b)"_s);
const QRegularExpression literal(u"\"((?:[^\"\\\\]|\\\\.)*)\""_s);

// The words of the string literals on `line` that name another system's parts; comments are passed over.
QStringList otherSystemWords(const QString& line) {
    const QString code = line.trimmed();
    if (code.startsWith(u"//"_s) || code.startsWith(u"*"_s) || code.startsWith(u"/*"_s))
        return {};
    QStringList found;
    for (const QRegularExpressionMatch& words : literal.globalMatch(code))
        if (otherSystem.match(words.captured(1)).hasMatch())
            found.append(words.captured(1));
    return found;
}

} // namespace

class TestOneVoice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theReaderFindsOtherSystemsWords_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("found");
        QTest::newRow("a Mac") << u"    return u\"Keeping this Mac awake\"_s;"_s << true;
        QTest::newRow("macOS") << u"QStringLiteral(\"macOS would not\")"_s << true;
        QTest::newRow("System Settings") << u"x = \"open System Settings\";"_s << true;
        QTest::newRow("the menu bar") << u"u\"Kestrin lives in the menu bar\""_s << true;
        QTest::newRow("the bundle identifier") << u"u\"com.mossgate.corvane.mac\"_s"_s << false;
        QTest::newRow("Google's archive name") << u"u\"platform-tools-macosx.zip\""_s << false;
        QTest::newRow("a comment") << u"// as on a Mac, \"Mac\""_s << false;
        QTest::newRow("outside a literal") << u"MacLikeThing x; // nothing said"_s << false;
        QTest::newRow("an escaped quote") << u"u\"He said \\\"Mac\\\" once\""_s << true;
    }
    void theReaderFindsOtherSystemsWords() {
        QFETCH(QString, line);
        QFETCH(bool, found);
        QCOMPARE(!otherSystemWords(line).isEmpty(), found);
    }

    void noWordShownNamesAnotherSystem() {
        QStringList said;
        int files = 0;
        QDirIterator sources(QStringLiteral(REPO_ROOT "/desktop"), {u"*.cpp"_s, u"*.h"_s}, QDir::Files,
                             QDirIterator::Subdirectories);
        while (sources.hasNext()) {
            const QString path = sources.next();
            if (path.contains(u"/desktop/tests/"_s))
                continue;
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            ++files;
            int number = 0;
            while (!file.atEnd()) {
                ++number;
                for (const QString& words : otherSystemWords(QString::fromUtf8(file.readLine())))
                    said.append(u"%1:%2: %3"_s.arg(path.section(u"/desktop/"_s, 1)).arg(number).arg(words));
            }
        }
        QVERIFY(files > 100);
        QVERIFY2(said.isEmpty(), qPrintable(said.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(TestOneVoice)
#include "tst_OneVoice.moc"
