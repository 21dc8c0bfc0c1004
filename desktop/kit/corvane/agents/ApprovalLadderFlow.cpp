#include "ApprovalLadderFlow.h"

namespace corvane {

ApprovalLadderFlow::ApprovalLadderFlow(Operations operations)
    : m_operations(std::move(operations)) {}

ApprovalLadderFlow::Operations ApprovalLadderFlow::over(std::function<SetupClient()> client) {
    return {
        .load = [client]() { return client().loadApproval(); },
        .setClaude = [client](ClaudeApprovalMode mode) { return client().setApproval(mode); },
        .setCodex = [client](CodexApprovalMode mode) { return client().setApproval(mode); },
    };
}

void ApprovalLadderFlow::setStage(ApprovalScreenStage stage) {
    m_stage = std::move(stage);
    if (onStageChange)
        onStageChange(m_stage);
}

// The stage is not set to loading first: what shows is replaced only when the read completes.
QCoro::Task<> ApprovalLadderFlow::refresh() {
    const Outcome read = co_await m_operations.load();
    if (read)
        setStage({ApprovalScreenStage::Ready{*read, std::nullopt}});
    else
        setStage({ApprovalScreenStage::Unavailable{unavailableWords.toString()}});
}

QCoro::Task<> ApprovalLadderFlow::choose(ClaudeApprovalMode mode) {
    const auto* ready = std::get_if<ApprovalScreenStage::Ready>(&m_stage.value);
    if (!ready)
        co_return; // nothing is asked while reading, saving or unreachable
    const ApprovalSnapshot before = ready->snapshot;
    setStage({ApprovalScreenStage::Saving{before}});
    co_await change(before, m_operations.setClaude(mode));
}

QCoro::Task<> ApprovalLadderFlow::choose(CodexApprovalMode mode) {
    const auto* ready = std::get_if<ApprovalScreenStage::Ready>(&m_stage.value);
    if (!ready)
        co_return;
    const ApprovalSnapshot before = ready->snapshot;
    setStage({ApprovalScreenStage::Saving{before}});
    co_await change(before, m_operations.setCodex(mode));
}

QCoro::Task<> ApprovalLadderFlow::change(const ApprovalSnapshot& before, QCoro::Task<Outcome> set) {
    const ApprovalSnapshot kept = before;
    const Outcome answer = co_await std::move(set);
    if (answer)
        setStage({ApprovalScreenStage::Ready{*answer, std::nullopt}});
    else
        setStage({ApprovalScreenStage::Ready{kept, failedChangeWords.toString()}});
}

} // namespace corvane
