#include "AppQuit.h"

#include <QCoreApplication>

namespace corvane::AppQuit {

namespace {

std::function<void()>& defaultAction() {
    static std::function<void()> action = [] { QCoreApplication::quit(); };
    return action;
}

} // namespace

void request(std::function<void()> action) {
    // A posted call wakes the event loop at once and also runs inside a menu's own loop.
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(action), Qt::QueuedConnection);
}

void setDefaultAction(std::function<void()> action) {
    defaultAction() = std::move(action);
}

void request() {
    request(defaultAction());
}

} // namespace corvane::AppQuit
