#pragma once

#include <QLabel>

namespace corvane {

// Words on one line that never wrap nor get cut while they can shrink: when the room is too small,
// they are drawn smaller (letter spacing with them), down to `smallest` of their size, and cut only
// below that. Plain text; selectable where the owner says so.
class FittedLine : public QLabel {
    Q_OBJECT
public:
    FittedLine(const QFont& font, qreal smallest, QWidget* parent = nullptr);

    // The words, fitted to the room they have now.
    void setLine(const QString& words);
    // The size the words are drawn at now, as a part of their full size.
    qreal scale() const { return m_scale; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fit();
    QFont scaled(qreal scale) const;

    QFont m_font;
    qreal m_smallest;
    qreal m_scale = 1;
};

} // namespace corvane
