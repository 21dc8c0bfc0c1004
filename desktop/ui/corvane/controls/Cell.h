#pragma once

#include <QWidget>

namespace corvane {

// A value on the dark glass: the display face in bold at a fixed size, digits of equal width, one
// line, on a small rounded glass plate. Screen readers get the value.
class Cell : public QWidget {
    Q_OBJECT
public:
    Cell(const QString& text, int size, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};

} // namespace corvane
