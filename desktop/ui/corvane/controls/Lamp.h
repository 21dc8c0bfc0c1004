#pragma once

#include <corvane/look/ReadoutLamp.h>

#include <QWidget>

#include <memory>

namespace corvane {

class OnScreenLoop;

// A small round lamp that glows in its colour: live and working burn orange, waiting red, ok green,
// off is dark with no glow. A working lamp pulses between full and quarter strength while it is on
// screen, unless the desktop asks for less motion. The widget leaves room around the dot for its glow.
class Lamp : public QWidget {
    Q_OBJECT
public:
    explicit Lamp(ReadoutLamp mode = ReadoutLamp::off, qreal size = 8, QWidget* parent = nullptr);
    ~Lamp() override;

    ReadoutLamp mode() const { return m_mode; }
    void setMode(ReadoutLamp mode);
    bool isPulsing() const;
    qreal dotOpacity() const { return m_opacity; }
    // The pulse's strength `progress` of the way through one 1.6 s beat: from full to a quarter and
    // back, each 0.8 s change easing in and out on its own.
    static qreal pulseStrength(qreal progress);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ReadoutLamp m_mode;
    qreal m_size;
    qreal m_opacity = 1;
    std::unique_ptr<OnScreenLoop> m_pulse; // only while working; last, so it goes before the rest
};

} // namespace corvane
