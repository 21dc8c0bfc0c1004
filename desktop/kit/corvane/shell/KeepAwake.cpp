#include "KeepAwake.h"

namespace corvane {

KeepAwake::KeepAwake(std::shared_ptr<SleepAssertions> assertions)
    : m_assertions(std::move(assertions)) {}

void KeepAwake::update(bool serverRunning, std::optional<bool> serverSays) {
    const bool wanted = serverRunning && serverSays == true;
    if (wanted && !m_activity)
        m_activity = m_assertions->begin(reason.toString());
    else if (!wanted && m_activity)
        m_assertions->end(std::move(m_activity));
}

} // namespace corvane
