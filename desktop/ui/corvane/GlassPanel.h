#pragma once

#include <QWidget>

class QVBoxLayout;

namespace corvane {

// The dark glass readout screen, its content in a column `padding` points from its edges.
class GlassPanel : public QWidget {
    Q_OBJECT
public:
    explicit GlassPanel(int padding = 16, QWidget* parent = nullptr);
    QVBoxLayout* content() const { return m_column; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* m_column;
};

} // namespace corvane
