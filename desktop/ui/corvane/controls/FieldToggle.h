#pragma once

#include <QAbstractButton>

#include <memory>

class QVariantAnimation;

namespace corvane {

// A switch in a row: its label, the word "on" or "off", and a track whose knob slides to the far end
// when on. A tap anywhere on the row flips it (the owner decides what the value then is). It sits on
// the chassis or on the dark glass. Screen readers take it for an ordinary check box.
class FieldToggle : public QAbstractButton {
    Q_OBJECT
public:
    enum class Surface { chassis, glass };

    FieldToggle(const QString& label, Surface surface = Surface::chassis, QWidget* parent = nullptr);
    ~FieldToggle() override;

    // Where the knob is now: 0 at the near end (off), 1 at the far end (on).
    qreal knobPosition() const { return m_position; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;

private:
    void slide(bool on);
    int besideLabel() const;
    // The room the label has in a row of `width` points.
    int labelWidth(int width) const;
    QFont stateFont() const;

    Surface m_surface;
    qreal m_position = 0;
    std::unique_ptr<QVariantAnimation> m_motion;
};

} // namespace corvane
