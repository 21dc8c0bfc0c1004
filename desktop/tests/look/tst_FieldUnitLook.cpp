// What the field-unit look decides without drawing: the contrast of every text on its ground, and how
// captions are printed.

#include <corvane/look/FieldUnitPalette.h>
#include <corvane/look/Silkscreen.h>

#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

class TestFieldUnitLook : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void contrastRatio_data() {
        QTest::addColumn<uint>("a");
        QTest::addColumn<uint>("b");
        QTest::addColumn<double>("ratio");
        QTest::newRow("white on black") << 0xFFFFFFu << 0x000000u << 21.0;
        QTest::newRow("a colour on itself") << FieldUnitPalette::live << FieldUnitPalette::live << 1.0;
        QTest::newRow("ink on chassis") << FieldUnitPalette::ink << FieldUnitPalette::chassis << 11.41;
        QTest::newRow("silk on the warning well")
            << FieldUnitPalette::silk << FieldUnitPalette::wellWarning << 4.54;
        QTest::newRow("display text on glass") << FieldUnitPalette::dText << FieldUnitPalette::glass << 15.11;
        // A dark channel on the straight part of the sRGB curve, one on its power part.
        QTest::newRow("grey 10 on black") << 0x0A0A0Au << 0x000000u << 1.06;
    }
    void contrastRatio() {
        QFETCH(uint, a);
        QFETCH(uint, b);
        QFETCH(double, ratio);
        QVERIFY2(std::abs(FieldUnitPalette::contrastRatio(a, b) - ratio) < 0.005,
                 qPrintable(QString::number(FieldUnitPalette::contrastRatio(a, b))));
        QCOMPARE(FieldUnitPalette::contrastRatio(b, a), FieldUnitPalette::contrastRatio(a, b));
    }

    void everyTextIsReadableOnItsGround() {
        double lowest = 21;
        for (const auto& [text, ground] : FieldUnitPalette::textPairs) {
            const double ratio = FieldUnitPalette::contrastRatio(text, ground);
            const auto hex = [](std::uint32_t colour) {
                return QString::number(colour, 16).rightJustified(6, u'0');
            };
            QVERIFY2(ratio >= 4.5, qPrintable(u"%1 on %2: %3"_s.arg(hex(text), hex(ground)).arg(ratio)));
            lowest = std::min(lowest, ratio);
        }
        QCOMPARE(lowest,
                 FieldUnitPalette::contrastRatio(FieldUnitPalette::silk, FieldUnitPalette::wellWarning));
    }

    void printed_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("printed");
        QTest::newRow("capitals with the name") << u"OPEN KESTRIN NOW"_s << u"open Kestrin now"_s;
        QTest::newRow("the window caption") << u"Kestrin · your glasses"_s << u"Kestrin · your glasses"_s;
        QTest::newRow("inside a longer word") << u"Kestrins and KESTRINX"_s << u"kestrins and kestrinx"_s;
        QTest::newRow("after a letter of another script") << u"éKESTRIN"_s << u"ékestrin"_s;
        QTest::newRow("after a letter beyond the first plane") << u"𝐀KESTRIN"_s << u"𝐀kestrin"_s;
        QTest::newRow("before a digit") << u"KESTRIN2"_s << u"kestrin2"_s;
        QTest::newRow("the whole text") << u"KESTRIN"_s << u"Kestrin"_s;
        QTest::newRow("before an underscore") << u"KESTRIN_HOME"_s << u"kestrin_home"_s;
        QTest::newRow("before punctuation")
            << u"Kestrin’s server, KESTRIN.app"_s << u"Kestrin’s server, Kestrin.app"_s;
        QTest::newRow("twice") << u"kestrin KESTRIN"_s << u"Kestrin Kestrin"_s;
        QTest::newRow("letters beyond ASCII") << u"ÉTÉ ÜBER"_s << u"été über"_s;
        QTest::newRow("empty") << QString() << QString();
    }
    void printed() {
        QFETCH(QString, text);
        QFETCH(QString, printed);
        QCOMPARE(Silkscreen::printed(text), printed);
    }
};

QTEST_GUILESS_MAIN(TestFieldUnitLook)
#include "tst_FieldUnitLook.moc"
