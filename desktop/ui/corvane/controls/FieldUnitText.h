#pragma once

#include <QFont>

class QColor;
class QGraphicsEffect;
class QLabel;
class QString;
class QWidget;

namespace corvane::FieldUnitText {

// The faces of the field-unit look, sizes in points (logical pixels). Captions are the system's monospaced
// face, semibold and spaced out; cells and display headlines are the Doto display face.

// A printed caption: 11 points, semibold, letter spacing 1.3.
QFont silk();
// The monospaced system face at `points`, semibold, with `spacing` points between letters.
QFont monospaced(int points, qreal spacing);
// The display face in `style` ("Bold", "Black") at a fixed `points`, with `spacing` between letters.
QFont display(const QString& style, int points, qreal spacing);
// The system's text face at `points` in `weight`, for sentences and labels.
QFont text(int points, QFont::Weight weight = QFont::Normal);

// Sets the colour a label or other text widget draws its words in.
void setColour(QWidget& widget, const QColor& colour);

// Gives `widget`'s words the soft glow of a lit display: the live colour at half opacity, spread
// `radius` points around them. The effect belongs to the widget; turn it off and on with setEnabled.
QGraphicsEffect* glow(QWidget& widget, qreal radius = 10);

// A sentence in `font` and `colour`, wrapped to the width it is given.
QLabel* sentence(const QString& text, const QFont& font, const QColor& colour);

} // namespace corvane::FieldUnitText
