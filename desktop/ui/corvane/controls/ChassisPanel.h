#pragma once

#include <corvane/controls/ColumnPanel.h>

namespace corvane {

// A raised panel on the chassis: an optional printed caption over its content.
class ChassisPanel : public ColumnPanel {
    Q_OBJECT
public:
    explicit ChassisPanel(const QString& label = {}, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace corvane
