#pragma once

#include <QString>

#include <expected>

namespace corvane {

// Whether the application starts when the person logs in (the order follows the system's codes 0 to 3).
enum class LoginItemStatus { notRegistered, enabled, requiresApproval, notFound };

// The system's registry of applications that start at login, for this application.
class LoginItemService {
public:
    virtual ~LoginItemService() = default;
    virtual LoginItemStatus status() = 0;
    // Failures carry the system's own description.
    virtual std::expected<void, QString> registerItem() = 0;
    virtual std::expected<void, QString> unregisterItem() = 0;
    virtual void openLoginItemsSettings() = 0;
};

} // namespace corvane
