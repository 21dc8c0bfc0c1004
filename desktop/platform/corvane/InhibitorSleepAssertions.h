#pragma once

#include <corvane/shell/KeepAwake.h>

#include <QDBusConnection>

namespace corvane {

// Keeps the computer from idle sleep through logind's idle inhibitor on the system bus, else the
// session's screensaver inhibitor, else an activity that holds nothing: never an error.
class InhibitorSleepAssertions final : public SleepAssertions {
public:
    static constexpr int callTimeoutMs = 2000;

    explicit InhibitorSleepAssertions(QDBusConnection systemBus = QDBusConnection::systemBus(),
                                      QDBusConnection sessionBus = QDBusConnection::sessionBus());

    std::unique_ptr<SleepActivity> begin(const QString& reason) override;
    void end(std::unique_ptr<SleepActivity> activity) override;

private:
    QDBusConnection m_systemBus;
    QDBusConnection m_sessionBus;
};

} // namespace corvane
