#include "ColumnPanel.h"

#include <QVBoxLayout>

namespace corvane {

ColumnPanel::ColumnPanel(QMargins padding, int spacing, QWidget* parent)
    : QWidget(parent)
    , m_column(new QVBoxLayout(this)) {
    m_column->setContentsMargins(padding);
    m_column->setSpacing(spacing);
    m_column->setAlignment(Qt::AlignTop);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

} // namespace corvane
