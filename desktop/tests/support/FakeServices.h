#pragma once

// Scripted stand-ins for the platform's login-item registry and sleep assertions.

#include <corvane/shell/KeepAwake.h>
#include <corvane/shell/LoginItemService.h>

#include <memory>
#include <optional>

namespace corvane {

// A login-item registry that moves to the statuses it is told, or fails with the given words.
class ScriptedLoginItems final : public LoginItemService {
public:
    LoginItemStatus current = LoginItemStatus::notRegistered;
    LoginItemStatus afterRegister = LoginItemStatus::enabled;
    std::optional<QString> failure;
    int registrations = 0;
    int unregistrations = 0;
    int settingsOpened = 0;

    LoginItemStatus status() override { return current; }
    std::expected<void, QString> registerItem() override {
        ++registrations;
        if (failure)
            return std::unexpected(*failure);
        current = afterRegister;
        return {};
    }
    std::expected<void, QString> unregisterItem() override {
        ++unregistrations;
        if (failure)
            return std::unexpected(*failure);
        current = LoginItemStatus::notRegistered;
        return {};
    }
    void openLoginItemsSettings() override { ++settingsOpened; }
};

class CountingAssertions final : public SleepAssertions {
public:
    int begun = 0;
    int ended = 0;
    std::unique_ptr<SleepActivity> begin(const QString& reason) override {
        ++begun;
        lastReason = reason;
        return std::make_unique<SleepActivity>();
    }
    void end(std::unique_ptr<SleepActivity> activity) override {
        if (activity)
            ++ended;
    }
    int held() const { return begun - ended; }
    QString lastReason;
};

} // namespace corvane
