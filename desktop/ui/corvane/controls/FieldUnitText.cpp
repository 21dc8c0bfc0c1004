#include "FieldUnitText.h"

#include <corvane/controls/FU.h>

#include <QColor>
#include <QFontDatabase>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace corvane::FieldUnitText {

// A point of the look is one logical pixel, as on the system the look was drawn for; Qt's points
// would be a third larger at 96 dots per inch.
QFont monospaced(int points, qreal spacing) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(points);
    font.setWeight(QFont::DemiBold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return font;
}

QFont silk() {
    return monospaced(11, 1.3);
}

QFont text(int points, QFont::Weight weight) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(points);
    font.setWeight(weight);
    return font;
}

void setColour(QWidget& widget, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, colour);
    widget.setPalette(palette);
}

QGraphicsEffect* glow(QWidget& widget, qreal radius) {
    auto* effect = new QGraphicsDropShadowEffect(&widget);
    QColor halo = FU::live;
    halo.setAlphaF(0.5f);
    effect->setColor(halo);
    effect->setBlurRadius(radius);
    effect->setOffset(0, 0);
    widget.setGraphicsEffect(effect);
    return effect;
}

QLabel* sentence(const QString& text, const QFont& font, const QColor& colour) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setFont(font);
    setColour(*label, colour);
    return label;
}

QFont display(const QString& style, int points, qreal spacing) {
    QFont font(QStringLiteral("Doto"));
    font.setStyleName(style);
    font.setPixelSize(points);
    font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return font;
}

} // namespace corvane::FieldUnitText
