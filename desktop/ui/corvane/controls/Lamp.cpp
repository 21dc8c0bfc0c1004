#include "Lamp.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/OnScreenLoop.h>

#include <QPainter>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace corvane {

namespace {

QColor dotColour(ReadoutLamp mode) {
    switch (mode) {
    case ReadoutLamp::live:
    case ReadoutLamp::working:
        return FU::live;
    case ReadoutLamp::waiting:
        return FU::alert;
    case ReadoutLamp::ok:
        return FU::ok;
    case ReadoutLamp::off:
        break;
    }
    return FU::lampOff;
}

// The glow's colour at its centre; an unlit lamp has none.
QColor glowColour(ReadoutLamp mode) {
    QColor glow;
    switch (mode) {
    case ReadoutLamp::live:
    case ReadoutLamp::working:
        glow = FU::live, glow.setAlphaF(0.55f);
        break;
    case ReadoutLamp::waiting:
        glow = FU::alert, glow.setAlphaF(0.5f);
        break;
    case ReadoutLamp::ok:
        glow = FU::ok, glow.setAlphaF(0.4f);
        break;
    case ReadoutLamp::off:
        glow = Qt::transparent;
        break;
    }
    return glow;
}

} // namespace

Lamp::Lamp(ReadoutLamp mode, qreal size, QWidget* parent)
    : QWidget(parent)
    , m_mode(mode)
    , m_size(size)
    , m_pulse(std::make_unique<OnScreenLoop>(
          *this, std::chrono::milliseconds(1600), // 0.8 s down, 0.8 s up
          OnScreenLoop::Steps{.wanted = [this] { return m_mode == ReadoutLamp::working; },
                              .step =
                                  [this](qreal progress) {
                                      m_opacity = pulseStrength(progress);
                                      update();
                                  },
                              .stopped =
                                  [this] {
                                      m_opacity = 1;
                                      update();
                                  }})) {
    setAttribute(Qt::WA_TranslucentBackground);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // The words beside a lamp carry its meaning.
    setAccessibleName(QString());
}

void Lamp::setMode(ReadoutLamp mode) {
    if (mode == m_mode)
        return;
    m_mode = mode;
    m_pulse->refresh();
    update();
}

qreal Lamp::pulseStrength(qreal progress) {
    constexpr qreal dimmest = 0.25;
    return dimmest + (1 - dimmest) * (1 + std::cos(2 * std::numbers::pi * progress)) / 2;
}

Lamp::~Lamp() = default;

bool Lamp::isPulsing() const {
    return m_pulse->isRunning();
}

QSize Lamp::sizeHint() const {
    // The dot and its glow, which reaches 0.6 of the dot's size beyond its edge.
    const int side = static_cast<int>(std::ceil(m_size * 2.2));
    return {side, side};
}

void Lamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(rect()).center();
    const qreal radius = m_size / 2;
    painter.setOpacity(m_opacity);
    if (const QColor glow = glowColour(m_mode); glow.alpha() > 0) {
        const qreal reach = radius + m_size * 0.6;
        QRadialGradient gradient(centre, reach);
        gradient.setColorAt(radius / reach, glow);
        QColor clear = glow;
        clear.setAlpha(0);
        gradient.setColorAt(1, clear);
        painter.setPen(Qt::NoPen);
        painter.setBrush(gradient);
        painter.drawEllipse(centre, reach, reach);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(dotColour(m_mode));
    painter.drawEllipse(centre, radius, radius);
}

} // namespace corvane
