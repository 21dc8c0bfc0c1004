#pragma once

#include <corvane/controls/ColumnPanel.h>

namespace corvane {

// The dark glass readout screen, its content `padding` points from its edges.
class GlassPanel : public ColumnPanel {
    Q_OBJECT
public:
    explicit GlassPanel(int padding = 16, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace corvane
