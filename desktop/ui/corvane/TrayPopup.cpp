#include "TrayPopup.h"

#include <corvane/PopupPlacement.h>
#include <corvane/menu/MenuContent.h>

#include <QGuiApplication>
#include <QScreen>
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
    QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    adjustSize();
    if (screen)
        move(PopupPlacement::place(anchor, size(), screen->availableGeometry()));
    show();
    raise();
    activateWindow();
}

} // namespace corvane
