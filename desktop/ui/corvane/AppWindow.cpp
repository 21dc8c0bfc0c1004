#include "AppWindow.h"

#include <corvane/Key.h>
#include <corvane/WindowTopBar.h>

#include <QMouseEvent>
#include <QVBoxLayout>
#include <QWindow>

namespace corvane {

AppWindow::AppWindow(const QString& title, QWidget* parent)
    : ChassisGround(parent)
    , m_content(new QVBoxLayout)
    , m_topBar(new WindowTopBar(title)) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(title);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->setSizeConstraint(QLayout::SetFixedSize); // sized by its content, never resized by hand
    WindowTopBar* bar = m_topBar;
    // The close key sits where the system's window buttons would.
    auto* close = new Key(QStringLiteral("Close"), {KeyStyle::Variant::chassis, true}, bar);
    close->move(8, (bar->height() - close->sizeHint().height()) / 2);
    connect(close, &QAbstractButton::clicked, this, &QWidget::close);
    column->addWidget(bar);
    m_content->setContentsMargins(24, 8, 24, 24);
    column->addLayout(m_content);
}

// Dragging the background moves the window, as dragging a title bar would.
void AppWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && windowHandle() && windowHandle()->startSystemMove()) {
        event->accept();
        return;
    }
    ChassisGround::mousePressEvent(event);
}

} // namespace corvane
