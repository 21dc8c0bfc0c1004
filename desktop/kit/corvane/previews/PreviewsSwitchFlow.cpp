#include "PreviewsSwitchFlow.h"

#include <corvane/previews/LivePreviewsWords.h>

namespace corvane {

PreviewsSwitchFlow::PreviewsSwitchFlow(Operations operations)
    : m_operations(std::move(operations)) {}

PreviewsSwitchFlow::Operations PreviewsSwitchFlow::over(std::function<SetupClient()> client) {
    return {
        .load = [client]() { return client().loadPreviews(); },
        .set = [client](bool enabled) { return client().setPreviews(enabled); },
    };
}

void PreviewsSwitchFlow::setStage(PreviewsSwitchStage stage) {
    m_stage = std::move(stage);
    if (onStageChange)
        onStageChange(m_stage);
}

// Whatever the stage, even while a change saves: the read's answer is the newest word.
QCoro::Task<> PreviewsSwitchFlow::refresh() {
    const Outcome read = co_await m_operations.load();
    if (read)
        setStage({PreviewsSwitchStage::Ready{*read, std::nullopt}});
    else
        setStage({PreviewsSwitchStage::Unavailable{LivePreviewsWords::notRunning.toString()}});
}

QCoro::Task<> PreviewsSwitchFlow::choose(bool enabled) {
    const auto* ready = std::get_if<PreviewsSwitchStage::Ready>(&m_stage.value);
    if (!ready)
        co_return; // nothing is asked while reading, saving or unreachable
    const bool before = ready->enabled;
    setStage({PreviewsSwitchStage::Saving{before}});
    const Outcome answer = co_await m_operations.set(enabled);
    if (answer)
        setStage({PreviewsSwitchStage::Ready{*answer, std::nullopt}});
    else
        setStage({PreviewsSwitchStage::Ready{before, LivePreviewsWords::didNotTake.toString()}});
}

} // namespace corvane
