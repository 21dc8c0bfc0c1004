#pragma once

#include <corvane/shell/LoginItemService.h>

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace corvane {

// Start-at-login for the menu: follows the system's registry, turns it on or off, and words the status
// and the last failure. The status is read again after every action, so the switch shows the truth.
class LoginItemController {
public:
    explicit LoginItemController(std::shared_ptr<LoginItemService> service);

    LoginItemStatus status() const { return m_status; }
    const std::optional<QString>& problem() const { return m_problem; }
    bool isOn() const { return m_status == LoginItemStatus::enabled; }
    bool needsApproval() const { return m_status == LoginItemStatus::requiresApproval; }
    QString message() const;

    // Called with the new status whenever a read finds it changed.
    std::function<void(LoginItemStatus)> onChange;

    void refresh();
    // Asking for what is already so does nothing, and keeps any earlier problem.
    void setEnabled(bool on);
    void openSettings();

private:
    void readStatus();

    LoginItemStatus m_status = LoginItemStatus::notRegistered;
    std::optional<QString> m_problem;
    std::shared_ptr<LoginItemService> m_service;
};

} // namespace corvane
