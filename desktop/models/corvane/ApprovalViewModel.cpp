#include "ApprovalViewModel.h"

#include <corvane/KeptAlive.h>

#include <QPointer>

namespace corvane {

ApprovalViewModel::ApprovalViewModel(ApprovalLadderFlow::Operations operations, QObject* parent)
    : QObject(parent)
    , m_flow(std::make_shared<ApprovalLadderFlow>(std::move(operations))) {
    m_flow->onStageChange = [self = QPointer(this)](const ApprovalScreenStage& stage) {
        if (!self)
            return;
        self->m_stage = stage;
        Q_EMIT self->stageChanged();
    };
}

void ApprovalViewModel::showFixedStage(const ApprovalScreenStage& stage) {
    m_isPreview = true;
    m_stage = stage;
    Q_EMIT stageChanged();
}

void ApprovalViewModel::refresh() {
    if (!m_isPreview)
        keptAlive(m_flow, m_work.begin(), m_flow->refresh());
}

void ApprovalViewModel::choose(ClaudeApprovalMode mode) {
    if (!m_isPreview)
        keptAlive(m_flow, m_work.begin(), m_flow->choose(mode));
}

void ApprovalViewModel::choose(CodexApprovalMode mode) {
    if (!m_isPreview)
        keptAlive(m_flow, m_work.begin(), m_flow->choose(mode));
}

} // namespace corvane
