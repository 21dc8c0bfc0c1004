#pragma once

#include <QColor>
#include <QWidget>

namespace corvane {

// A caption printed on the case: lower case (the product's name keeps its capitals), the small
// monospaced face, one line. Screen readers get the text as written.
class Silk : public QWidget {
    Q_OBJECT
public:
    Silk(const QString& text, const QColor& colour, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    QString printedText() const { return m_printed; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QString m_printed;
    QColor m_colour;
};

} // namespace corvane
