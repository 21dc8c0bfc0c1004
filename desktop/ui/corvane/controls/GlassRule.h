#pragma once

#include <QWidget>

namespace corvane {

// A thin divider on the glass, between the parts of a readout.
class GlassRule : public QWidget {
    Q_OBJECT
public:
    explicit GlassRule(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace corvane
