#include "LoginItemController.h"

namespace corvane {

using namespace Qt::Literals::StringLiterals;

LoginItemController::LoginItemController(std::shared_ptr<LoginItemService> service)
    : m_service(std::move(service)) {}

QString LoginItemController::message() const {
    switch (m_status) {
    case LoginItemStatus::notRegistered:
        break;
    case LoginItemStatus::enabled:
        return u"Kestrin starts when you log in."_s;
    case LoginItemStatus::requiresApproval:
        return u"Waiting for your approval — turn Kestrin on in your desktop’s Startup Applications."_s;
    case LoginItemStatus::notFound:
        return u"Your desktop could not find Kestrin to start it. Move Kestrin back to where it was and try "
               u"again."_s;
    }
    return u"Kestrin does not start on its own."_s;
}

void LoginItemController::refresh() {
    readStatus();
}

void LoginItemController::setEnabled(bool on) {
    const bool alreadyOn =
        m_status == LoginItemStatus::enabled || m_status == LoginItemStatus::requiresApproval;
    if (on == alreadyOn)
        return;
    const auto outcome = on ? m_service->registerItem() : m_service->unregisterItem();
    if (outcome)
        m_problem.reset();
    else if (on)
        m_problem = u"Your desktop would not let Kestrin start at login: "_s + outcome.error();
    else
        m_problem = u"Your desktop would not stop Kestrin starting at login: "_s + outcome.error();
    readStatus();
}

void LoginItemController::openSettings() {
    m_service->openLoginItemsSettings();
}

void LoginItemController::readStatus() {
    const LoginItemStatus status = m_service->status();
    if (status == m_status)
        return;
    m_status = status;
    if (onChange)
        onChange(status);
}

} // namespace corvane
