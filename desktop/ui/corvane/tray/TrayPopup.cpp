#include "TrayPopup.h"

#include <corvane/controls/KeyboardUse.h>
#include <corvane/menu/MenuContent.h>
#include <corvane/tray/PopupPlacement.h>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace corvane {

namespace {

Qt::WindowFlags flagsFor(TrayPopup::Kind kind) {
    switch (kind) {
    case TrayPopup::Kind::popup:
        return Qt::Popup | Qt::FramelessWindowHint;
    case TrayPopup::Kind::floating:
        return Qt::Window | Qt::FramelessWindowHint;
    case TrayPopup::Kind::window:
        break;
    }
    return Qt::Window;
}

} // namespace

TrayPopup::TrayPopup(ServerViewModel& model, UpdatesModel& updates, Kind kind, QWidget* parent)
    : QWidget(parent, flagsFor(kind))
    , m_content(new menu::MenuContent(model, updates))
    , m_kind(kind) {
    setWindowTitle(QStringLiteral("Kestrin"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_content);
    layout->setSizeConstraint(QLayout::SetFixedSize); // sized by its content, never resized by hand
}

void TrayPopup::setKind(Kind kind) {
    if (kind == m_kind)
        return;
    m_kind = kind;
    m_anchor.reset(); // a window stays where the window manager puts it; a popup is placed at each show
    setWindowFlags(flagsFor(kind));
}

void TrayPopup::showBeside(const QRect& anchor) {
    m_anchor = anchor;
    measure();
    placeBesideAnchor();
    bringForward();
}

void TrayPopup::showPlacedBySystem(Kind kind) {
    setKind(kind);
    measure();
    bringForward();
}

// Measured as it will look, not as it looked when last shown. While hidden, no layout passes its
// changes up, so every size a parent keeps is stale: each is forgotten and the window's fixed size
// taken again.
void TrayPopup::measure() {
    m_content->sync();
    for (QWidget* piece : m_content->findChildren<QWidget*>())
        piece->updateGeometry();
    m_content->updateGeometry();
    layout()->activate();
}

// The panel opens with the focus on its first control, so that a screen reader says where the person
// is and a key press acts on something they can see.
void TrayPopup::bringForward() {
    const bool opening = !isVisible();
    show();
    raise();
    activateWindow();
    if (opening)
        KeyboardUse::focusFirstControl(*this);
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
    Q_EMIT hidden();
    if (m_anchor)
        QTimer::singleShot(0, this, [this] {
            if (!isVisible())
                destroy();
        });
}

// Escape puts the panel away as its close button would (a popup simply hides).
void TrayPopup::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

// A floating panel goes when the focus moves elsewhere, as a popup goes on a click elsewhere.
void TrayPopup::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && m_kind == Kind::floating && isVisible() &&
        !isActiveWindow())
        hide();
}

void TrayPopup::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (m_kind == Kind::window && event->isAccepted())
        Q_EMIT closedAsWindow();
}

void TrayPopup::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeBesideAnchor();
}

} // namespace corvane
