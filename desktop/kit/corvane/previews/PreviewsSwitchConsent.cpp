#include "PreviewsSwitchConsent.h"

#include <utility>

namespace corvane {

void PreviewsSwitchConsent::setAsking(bool asking) {
    if (std::exchange(m_asking, asking) != asking && onAskingChange)
        onAskingChange(asking);
}

QCoro::Task<> PreviewsSwitchConsent::flip(bool on) {
    if (on) {
        setAsking(true);
        co_return;
    }
    co_await m_flow.choose(false);
}

// A "Turn on" pressed while the setting is not ready closes the question and changes nothing.
QCoro::Task<> PreviewsSwitchConsent::confirm() {
    setAsking(false);
    co_await m_flow.choose(true);
}

} // namespace corvane
