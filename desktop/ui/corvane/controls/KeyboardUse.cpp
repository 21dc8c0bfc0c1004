#include "KeyboardUse.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace corvane::KeyboardUse {

namespace {

class Watcher final : public QObject {
public:
    bool active = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            set(true);
            if (pressedOnReturn(watched, static_cast<QKeyEvent*>(event)))
                return true;
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::TouchBegin:
        case QEvent::TabletPress:
            set(false);
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Return and Enter press the focused button, as Space does, before any screen hears them.
    static bool pressedOnReturn(QObject* watched, const QKeyEvent* event) {
        auto* control = qobject_cast<QAbstractButton*>(watched);
        if ((event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) || !control ||
            !control->hasFocus())
            return false;
        if (!event->isAutoRepeat() && control->isEnabled())
            control->click();
        return true;
    }

    void set(bool keyboard) {
        if (std::exchange(active, keyboard) == keyboard)
            return;
        if (QWidget* focused = QApplication::focusWidget())
            focused->update(); // its ring comes or goes
    }
};

QPointer<Watcher>& watcher() {
    static QPointer<Watcher> instance;
    return instance;
}

} // namespace

void watch() {
    if (watcher() || !QCoreApplication::instance())
        return;
    auto* made = new Watcher;
    made->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(made);
    watcher() = made;
}

bool active() {
    return watcher() && watcher()->active;
}

void focusFirstControl(QWidget& window, const QWidget* except) {
    const auto isControl = [&](const QWidget* widget) {
        const bool passedOver = except && (widget == except || except->isAncestorOf(widget));
        return widget != &window && !passedOver && widget->isVisibleTo(&window) && widget->isEnabled() &&
               (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
    };
    if (QWidget* placed = window.focusWidget(); placed && isControl(placed)) {
        placed->setFocus(Qt::OtherFocusReason);
        return;
    }
    for (QWidget* next = window.nextInFocusChain(); next && next != &window; next = next->nextInFocusChain())
        if (isControl(next)) {
            next->setFocus(Qt::OtherFocusReason);
            return;
        }
}

bool showsFocus(const QWidget& control) {
    return control.hasFocus() && active();
}

} // namespace corvane::KeyboardUse
