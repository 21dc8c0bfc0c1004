// The display faces that the build takes from npm, registered as the application does at start.

#include <corvane/look/FieldUnitFont.h>

#include <corvane/controls/FieldUnitFonts.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

class TestFieldUnitFonts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nothingFromAMissingOrBrokenFolder() {
        QCOMPARE(FieldUnitFonts::registerFonts(u"/nonexistent/Fonts"_s), 0);
        const QTemporaryDir dir;
        QFile notAFont(dir.filePath(u"Doto-Fake.ttf"_s));
        QVERIFY(notAFont.open(QIODevice::WriteOnly));
        notAFont.write("not a font at all");
        notAFont.close();
        QCOMPARE(FieldUnitFonts::registerFonts(dir.path()), 0);
    }

    // Each face is really drawn with, not a fallback: asking for it by its PostScript name's style
    // gives the Doto family in that style.
    void theThreeDisplayFacesAreAvailable_data() {
        QTest::addColumn<QString>("postScriptName");
        QTest::addColumn<QString>("style");
        QTest::newRow("medium") << FieldUnitFont::medium.toString() << u"Medium"_s;
        QTest::newRow("bold") << FieldUnitFont::bold.toString() << u"Bold"_s;
        QTest::newRow("black") << FieldUnitFont::black.toString() << u"Black"_s;
    }
    void theThreeDisplayFacesAreAvailable() {
        QFETCH(QString, postScriptName);
        QFETCH(QString, style);
        static const int registered = FieldUnitFonts::registerFonts(QStringLiteral(KESTRIN_FONTS_DIR));
        QCOMPARE(registered, 3);
        QVERIFY2(QFontDatabase::styles(u"Doto"_s).contains(style),
                 qPrintable(QFontDatabase::styles(u"Doto"_s).join(u", ")));
        QFont font(u"Doto"_s, 13);
        font.setStyleName(style);
        const QFontInfo resolved(font);
        QCOMPARE(resolved.family(), u"Doto"_s);
        QCOMPARE(resolved.styleName(), style);
        QCOMPARE(postScriptName, u"Doto-"_s + style);
    }
};

QTEST_MAIN(TestFieldUnitFonts)
#include "tst_FieldUnitFonts.moc"
