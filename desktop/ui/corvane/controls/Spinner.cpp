#include "Spinner.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/ReducedMotion.h>

#include <QPainter>
#include <QVariantAnimation>

namespace corvane {

namespace {

constexpr int spokes = 12;

} // namespace

Spinner::Spinner(int size, QWidget* parent)
    : QWidget(parent)
    , m_size(size) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("Busy"));
    connect(&ReducedMotion::instance(), &ReducedMotion::changed, this, &Spinner::updateTurning);
}

Spinner::~Spinner() = default;

bool Spinner::isTurning() const {
    return m_turn && m_turn->state() == QAbstractAnimation::Running;
}

void Spinner::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateTurning();
}

void Spinner::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    updateTurning();
}

// An animation, not a timer of its own: it stops with the widget hidden, so a spinner off screen
// costs nothing.
void Spinner::updateTurning() {
    const bool wanted = isVisible() && !ReducedMotion::instance().isOn();
    if (wanted == isTurning())
        return;
    if (!wanted) {
        m_turn.reset();
        m_lead = 0;
        update();
        return;
    }
    m_turn = std::make_unique<QVariantAnimation>();
    m_turn->setStartValue(0);
    m_turn->setEndValue(spokes);
    m_turn->setDuration(1000);
    m_turn->setLoopCount(-1);
    connect(m_turn.get(), &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        const int lead = value.toInt() % spokes;
        if (lead != m_lead) {
            m_lead = lead;
            update();
        }
    });
    m_turn->start();
}

void Spinner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal scale = qMin(width(), height()) / 16.0; // drawn on a 16-point square
    painter.translate(width() / 2.0, height() / 2.0);
    painter.scale(scale, scale);
    const bool still = !isTurning();
    for (int spoke = 0; spoke < spokes; ++spoke) {
        const int behind = (m_lead - spoke + spokes) % spokes;
        QColor ink = FU::silk;
        ink.setAlphaF(still ? 0.6f : static_cast<float>(1.0 - 0.07 * behind));
        painter.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
        painter.save();
        painter.rotate(spoke * 360.0 / spokes);
        painter.drawLine(QPointF(0, -3.5), QPointF(0, -7));
        painter.restore();
    }
}

} // namespace corvane
