#include "KestrinIcon.h"

#include <corvane/controls/FU.h>

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace corvane {

namespace {

// The figure on a 64-unit grid with whole-unit geometry, as in packaging/icons/kestrin.svg: two lenses
// and a bridge in the live orange, each stroke edged in dark ink so it reads on light and dark panels.
void paintGlasses(QPainter& painter, const QRect& rect) {
    constexpr qreal grid = 64;
    const int side = std::min(rect.width(), rect.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.x() + (rect.width() - side) / 2.0, rect.y() + (rect.height() - side) / 2.0);
    painter.scale(side / grid, side / grid);

    // Each stroke drawn on its own, as an SVG renderer does, so overlapping ends blend the same way.
    QPainterPath leftLens;
    leftLens.addRoundedRect(QRectF(6, 22, 22, 20), 8, 8);
    QPainterPath rightLens;
    rightLens.addRoundedRect(QRectF(36, 22, 22, 20), 8, 8);
    QPainterPath bridge(QPointF(28, 29));
    bridge.quadTo(32, 24, 36, 29);
    QPainterPath leftTemple(QPointF(6, 27));
    leftTemple.lineTo(3, 21);
    QPainterPath rightTemple(QPointF(58, 27));
    rightTemple.lineTo(61, 21);
    const std::array strokes{leftLens, rightLens, bridge, leftTemple, rightTemple};

    painter.setBrush(Qt::NoBrush);
    for (const auto& [colour, width] : {std::pair{FU::ink, 10.0}, {FU::live, 5.0}}) {
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        for (const QPainterPath& stroke : strokes)
            painter.drawPath(stroke);
    }
    painter.restore();
}

class KestrinIconEngine final : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        paintGlasses(*painter, rect);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, pixmap.rect(), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new KestrinIconEngine; } // QIcon owns the copy

    QString key() const override { return QStringLiteral("kestrin"); }
};

} // namespace

QIcon kestrinIcon() {
    return QIcon(new KestrinIconEngine); // QIcon owns its engine
}

} // namespace corvane
