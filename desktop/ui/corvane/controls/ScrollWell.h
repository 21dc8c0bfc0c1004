#pragma once

#include <QScrollArea>

namespace corvane {

// A panel-coloured well whose words scroll when they are long (release notes). The keyboard reaches
// it, so that the arrows and Page keys scroll it, and it shows the focus ring like every control; a
// screen reader hears it by `name`.
class ScrollWell : public QScrollArea {
    Q_OBJECT
public:
    explicit ScrollWell(QWidget* content, const QString& name, QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

} // namespace corvane
