#include "TrayPopup.h"

#include <corvane/menu/MenuContent.h>
#include <corvane/tray/PopupPlacement.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace corvane {

TrayPopup::TrayPopup(ServerViewModel& model, UpdatesModel& updates, Kind kind, QWidget* parent)
    : QWidget(parent, kind == Kind::popup ? Qt::Popup | Qt::FramelessWindowHint : Qt::Window)
    , m_content(new menu::MenuContent(model, updates)) {
    setWindowTitle(QStringLiteral("Kestrin"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_content);
    layout->setSizeConstraint(QLayout::SetFixedSize); // sized by its content, never resized by hand
}

void TrayPopup::showBeside(const QRect& anchor) {
    m_anchor = anchor;
    // Measured as it will look, not as it looked when last shown. While hidden, no layout passes its
    // changes up, so every size a parent keeps is stale: each is forgotten and the window's fixed size
    // taken again.
    m_content->sync();
    for (QWidget* piece : m_content->findChildren<QWidget*>())
        piece->updateGeometry();
    m_content->updateGeometry();
    layout()->activate();
    placeBesideAnchor();
    show();
    raise();
    activateWindow();
}

void TrayPopup::placeBesideAnchor() {
    if (!m_anchor)
        return;
    QScreen* screen = QGuiApplication::screenAt(m_anchor->center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        move(PopupPlacement::place(*m_anchor, size(), screen->availableGeometry()));
}

// Hidden, the popup gives back its window and the picture behind it (a megabyte of shared memory for
// a panel seen a few seconds a day); the next show makes them again in a few milliseconds.
void TrayPopup::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (m_anchor)
        QTimer::singleShot(0, this, [this] {
            if (!isVisible())
                destroy();
        });
}

void TrayPopup::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeBesideAnchor();
}

} // namespace corvane
