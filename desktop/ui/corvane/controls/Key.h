#pragma once

#include <QAbstractButton>

#include <memory>

class QPainter;
class QVariantAnimation;

namespace corvane {

// How a key looks: a light chassis key, a hot orange one for the action that matters most, or a dark
// one on the glass; compact keys are lower and narrower.
struct KeyStyle {
    enum class Variant { chassis, hot, dark };
    Variant variant = Variant::chassis;
    bool compact = false;
    bool operator==(const KeyStyle&) const = default;
};

// A mechanical key: a rounded face over its darker side, which sinks 2 points while pressed. The label
// is printed in lower case. Being a button, it takes focus, Space and clicks like any other, and screen
// readers read its label as written.
class Key : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr qreal side = 3;   // how much of the side shows below a resting face
    static constexpr qreal travel = 2; // how far the face sinks while pressed

    Key(const QString& label, KeyStyle style = {}, QWidget* parent = nullptr);
    ~Key() override;

    KeyStyle style() const { return m_style; }
    void setStyle(KeyStyle style);
    // How far the face is down now, from 0 at rest to `travel` when fully pressed.
    qreal faceOffset() const { return m_offset; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Draws the label on the face; a key of another shape of label draws its own.
    virtual void paintLabel(QPainter& painter, const QRectF& face);

private:
    void sink(bool down);

    KeyStyle m_style;
    qreal m_offset = 0;
    std::unique_ptr<QVariantAnimation> m_motion;
};

} // namespace corvane
