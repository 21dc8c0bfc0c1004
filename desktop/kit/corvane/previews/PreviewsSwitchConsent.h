#pragma once

#include <corvane/previews/PreviewsSwitchFlow.h>

#include <functional>

namespace corvane {

// Turning previews on always goes through the consent sheet: moving the switch on only asks, and the
// flow is told only when the person presses "Turn on". Turning off needs no consent.
class PreviewsSwitchConsent {
public:
    explicit PreviewsSwitchConsent(PreviewsSwitchFlow& flow)
        : m_flow(flow) {}

    bool asking() const { return m_asking; }
    // Called only when `asking` changes.
    std::function<void(bool)> onAskingChange;

    PreviewsSwitchFlow& flow() const { return m_flow; }

    // The switch was moved by the person.
    QCoro::Task<> flip(bool on);
    // "Turn on" in the sheet.
    QCoro::Task<> confirm();
    // The asking sheet closed without turning on.
    void decline() { setAsking(false); }

private:
    void setAsking(bool asking);

    PreviewsSwitchFlow& m_flow;
    bool m_asking = false;
};

} // namespace corvane
