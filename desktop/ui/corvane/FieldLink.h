#pragma once

#include <QAbstractButton>

namespace corvane {

// A link to something outside the application (terms, a web page): its label underlined and an arrow
// pointing up and out; it fades while pressed. A link to screen readers.
class FieldLink : public QAbstractButton {
    Q_OBJECT
public:
    explicit FieldLink(const QString& label, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont arrowFont() const;
};

} // namespace corvane
