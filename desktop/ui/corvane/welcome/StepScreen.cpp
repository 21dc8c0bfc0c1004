#include "StepScreen.h"

#include <corvane/WelcomeViewModel.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/FittedLine.h>
#include <corvane/controls/Lamp.h>
#include <corvane/controls/LeadedLabel.h>
#include <corvane/controls/Silk.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace corvane::welcome {

using namespace Qt::Literals::StringLiterals;

QLabel* StepScreen::label(const QString& text, const QFont& font, const QColor& colour, bool wraps) {
    QLabel* made = FieldUnitText::sentence(text, font, colour);
    made->setWordWrap(wraps);
    return made;
}

QLabel* StepScreen::smallNote(const QString& text) {
    return label(text, FieldUnitText::text(14), FU::silk);
}

QHBoxLayout* StepScreen::row(int spacing) {
    auto* made = new QHBoxLayout;
    made->setContentsMargins(0, 0, 0, 0);
    made->setSpacing(spacing);
    return made;
}

QWidget* StepScreen::lampNote(Lamp* lamp, QWidget* note) {
    auto* holder = new QWidget;
    auto* line = row();
    holder->setLayout(line);
    line->addWidget(lamp, 0, Qt::AlignTop);
    line->addWidget(note, 1);
    return holder;
}

// One line, shrinking to fit down to half size rather than being cut.
FittedLine* StepScreen::glowing(int points) {
    auto* made = new FittedLine(FieldUnitText::display(u"Black"_s, points, 3), 0.5);
    FieldUnitText::setColour(*made, FU::live);
    made->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FieldUnitText::glow(*made);
    return made;
}

StepScreen::StepScreen(WelcomeViewModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);
}

void StepScreen::addHeading() {
    m_heading.silk = new Silk({}, FU::silk);
    m_heading.title = label({}, FieldUnitText::text(30, QFont::DemiBold), FU::ink);
    m_heading.lede = new LeadedLabel({}, FieldUnitText::text(16), FU::ink, 3);
    auto* heading = new QVBoxLayout;
    heading->setSpacing(6);
    heading->addWidget(m_heading.silk);
    heading->addWidget(m_heading.title);
    heading->addWidget(m_heading.lede);
    static_cast<QVBoxLayout*>(layout())->addLayout(heading);
}

QString StepScreen::stepSilk(const QString& text) const {
    return WelcomeFlow::progressLabel(m_model.step(), m_model.showsToolsStep()).value_or(QString()) +
           u" · "_s + text;
}

} // namespace corvane::welcome
