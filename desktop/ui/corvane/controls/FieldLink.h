#pragma once

#include <QAbstractButton>

namespace corvane {

// A link: its label underlined, faded while pressed. One that leads outside the application (terms, a
// web page) has an arrow pointing up and out; one that opens more of the application has none. A link
// to screen readers.
class FieldLink : public QAbstractButton {
    Q_OBJECT
public:
    enum class Leads { outside, inside };

    explicit FieldLink(const QString& label, Leads leads = Leads::outside, int points = 14,
                       QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont arrowFont() const;
    int arrowWidth() const;

    Leads m_leads;
};

} // namespace corvane
