#pragma once

#include <QPixmap>
#include <QWidget>

namespace corvane {

// The ground of every window: the warm grey chassis with a faint grain of dots every 12 points. The
// grain is one small tile, drawn once per pixel ratio and repeated: a window-sized picture of it would
// cost a megabyte for nothing.
class ChassisGround : public QWidget {
    Q_OBJECT
public:
    explicit ChassisGround(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_grain;
};

} // namespace corvane
