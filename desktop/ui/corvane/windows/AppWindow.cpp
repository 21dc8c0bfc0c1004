#include "AppWindow.h"

#include <corvane/controls/Key.h>
#include <corvane/controls/WindowTopBar.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
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
    auto* close = new Key(QStringLiteral("Close"), {KeyStyle::Variant::chassis, true});
    m_topBar->setLeading(close);
    connect(close, &QAbstractButton::clicked, this, &QWidget::close);
    column->addWidget(m_topBar);
    m_content->setContentsMargins(24, 8, 24, 24);
    column->addLayout(m_content);
}

// Escape does what the close key does.
void AppWindow::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        close();
        return;
    }
    ChassisGround::keyPressEvent(event);
}

// Dragging the background moves the window, as dragging a title bar would.
void AppWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && windowHandle() && windowHandle()->startSystemMove()) {
        m_draggedByPerson = true;
        event->accept();
        return;
    }
    ChassisGround::mousePressEvent(event);
}

void AppWindow::resizeEvent(QResizeEvent* event) {
    ChassisGround::resizeEvent(event);
    if (m_draggedByPerson || !isVisible() || !event->oldSize().isValid())
        return;
    const QSize grown = event->size() - event->oldSize();
    QPoint place = pos() - QPoint(grown.width() / 2, grown.height() / 2);
    if (const QScreen* display = screen()) { // never pushed past the screen's top or left edge
        const QRect available = display->availableGeometry();
        place = {std::max(place.x(), available.left()), std::max(place.y(), available.top())};
    }
    move(place);
}

} // namespace corvane
