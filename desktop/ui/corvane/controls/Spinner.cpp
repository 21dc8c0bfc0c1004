#include "Spinner.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/OnScreenLoop.h>

#include <QPainter>

namespace corvane {

namespace {

constexpr int spokes = 12;

} // namespace

Spinner::Spinner(int size, QWidget* parent)
    : QWidget(parent)
    , m_size(size)
    , m_turn(std::make_unique<OnScreenLoop>(
          *this, std::chrono::seconds(1),
          OnScreenLoop::Steps{.wanted = [] { return true; },
                              .step =
                                  [this](qreal progress) {
                                      const int lead = static_cast<int>(progress * spokes) % spokes;
                                      if (lead != m_lead) {
                                          m_lead = lead;
                                          update();
                                      }
                                  },
                              .stopped =
                                  [this] {
                                      m_lead = 0;
                                      update();
                                  }})) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("Busy"));
}

Spinner::~Spinner() = default;

bool Spinner::isTurning() const {
    return m_turn->isRunning();
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
