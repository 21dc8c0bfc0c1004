#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace corvane {

// A hold on the computer's idle sleep; what it holds is the platform's business. Destroying it lets go.
class SleepActivity {
public:
    virtual ~SleepActivity() = default;
};

// The platform's way to keep the computer from idle sleep.
class SleepAssertions {
public:
    virtual ~SleepAssertions() = default;
    // Always gives an activity, even one that holds nothing when the platform offers no way.
    virtual std::unique_ptr<SleepActivity> begin(const QString& reason) = 0;
    virtual void end(std::unique_ptr<SleepActivity> activity) = 0;
};

// Keeps the computer awake exactly while the server runs and has asked for it; never holds twice.
class KeepAwake {
public:
    static constexpr QStringView reason = u"Kestrin is in use";
    static constexpr QStringView menuLine = u"Keeping this computer awake while Kestrin is in use";

    explicit KeepAwake(std::shared_ptr<SleepAssertions> assertions);

    // `serverSays` is the server's own wish; nothing means it has not said.
    void update(bool serverRunning, std::optional<bool> serverSays);
    bool isHolding() const { return m_activity != nullptr; }

private:
    std::shared_ptr<SleepAssertions> m_assertions;
    std::unique_ptr<SleepActivity> m_activity;
};

} // namespace corvane
