#pragma once

#include <QWidget>

class QVBoxLayout;

namespace corvane {

// What every panel of the look shares: a column of content, padded from the panel's edges, as wide as
// it is offered and as high as its content. Each panel draws its own ground.
class ColumnPanel : public QWidget {
    Q_OBJECT
public:
    // Where the panel's content goes.
    QVBoxLayout* content() const { return m_column; }

protected:
    ColumnPanel(QMargins padding, int spacing, QWidget* parent);

private:
    QVBoxLayout* m_column;
};

} // namespace corvane
