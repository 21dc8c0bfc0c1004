#pragma once

#include <QLabel>

class QTextLayout;

namespace corvane {

// A wrapped sentence with `leading` points between its lines beyond the face's own, for paragraphs
// that read better with air between the lines. Its words are plain text, and it stays a label to
// everything that reads one (a screen reader, a test).
class LeadedLabel : public QLabel {
    Q_OBJECT
public:
    LeadedLabel(const QString& text, const QFont& font, const QColor& colour, qreal leading,
                QWidget* parent = nullptr);

    qreal leading() const { return m_leading; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The text laid out in lines no wider than `width`; the height they take with the leading.
    qreal layOut(QTextLayout& layout, int width) const;
    int textWidth(int width) const;

    qreal m_leading;
};

} // namespace corvane
