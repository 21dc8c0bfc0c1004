#pragma once

#include <QWidget>

class QVBoxLayout;

namespace corvane {

// A raised panel on the chassis: an optional printed caption over its content, in a column.
class ChassisPanel : public QWidget {
    Q_OBJECT
public:
    explicit ChassisPanel(const QString& label = {}, QWidget* parent = nullptr);
    // Where the panel's content goes, below the caption.
    QVBoxLayout* content() const { return m_column; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* m_column;
};

} // namespace corvane
