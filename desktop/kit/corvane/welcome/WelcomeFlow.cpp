#include "WelcomeFlow.h"

#include <algorithm>

namespace corvane::WelcomeFlow {

using namespace Qt::Literals::StringLiterals;

std::optional<WelcomeStep> fromRawValue(int raw) {
    if (raw < 0 || raw >= static_cast<int>(allSteps.size()))
        return std::nullopt;
    return allSteps.at(static_cast<std::size_t>(raw));
}

std::optional<WelcomeStep> next(WelcomeStep step) {
    return fromRawValue(static_cast<int>(step) + 1);
}

QList<PairedDevice> phones(const QList<PairedDevice>& devices) {
    QList<PairedDevice> phones;
    std::ranges::copy_if(devices, std::back_inserter(phones),
                         [](const PairedDevice& device) { return !device.isGlasses(); });
    return phones;
}

bool isComplete(WelcomeStep step, const WelcomeFacts& facts) {
    switch (step) {
    case WelcomeStep::tools:
        return facts.developerToolsSettled;
    case WelcomeStep::folder:
        return facts.folderChosen && facts.folderAccessSettled;
    case WelcomeStep::agent:
        return facts.agentSignedIn;
    case WelcomeStep::phone:
        return facts.phonePaired;
    case WelcomeStep::done:
        return facts == WelcomeFacts{true, true, true, true, true};
    }
    return false;
}

WelcomeStep firstIncompleteStep(const WelcomeFacts& facts) {
    for (const WelcomeStep step :
         {WelcomeStep::tools, WelcomeStep::folder, WelcomeStep::agent, WelcomeStep::phone})
        if (!isComplete(step, facts))
            return step;
    return WelcomeStep::done;
}

WelcomeStep stepAfterCompleting(WelcomeStep step, const WelcomeFacts& facts) {
    if (step == WelcomeStep::done)
        return WelcomeStep::done;
    std::optional<WelcomeStep> candidate = next(step);
    while (candidate && *candidate != WelcomeStep::done && isComplete(*candidate, facts))
        candidate = next(*candidate);
    return candidate.value_or(WelcomeStep::done);
}

std::optional<QString> progressLabel(WelcomeStep step, bool includesTools) {
    if (step == WelcomeStep::done || (step == WelcomeStep::tools && !includesTools))
        return std::nullopt;
    const int counted = includesTools ? 4 : 3;
    const int position = static_cast<int>(step) + (includesTools ? 1 : 0);
    return u"Step %1 of %2"_s.arg(position).arg(counted);
}

} // namespace corvane::WelcomeFlow
