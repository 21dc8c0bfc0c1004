#pragma once

#include <corvane/controls/FocusRingArea.h>

#include <QScrollArea>

namespace corvane {

// A panel-coloured well whose words scroll when they are long (release notes). The keyboard reaches
// it, so that the arrows and Page keys scroll it, and it shows the focus ring like every control; a
// screen reader hears it by `name`.
class ScrollWell : public FocusRingArea<QScrollArea> {
    Q_OBJECT
public:
    explicit ScrollWell(QWidget* content, const QString& name, QWidget* parent = nullptr);
};

} // namespace corvane
