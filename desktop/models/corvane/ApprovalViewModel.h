#pragma once

#include <corvane/agents/ApprovalLadderFlow.h>
#include <corvane/support/WorkUnderWay.h>

#include <QObject>

#include <memory>

namespace corvane {

// The agent-permission screen's model: the flow's stage, published as it changes, and its actions,
// each started at once on the main thread.
class ApprovalViewModel : public QObject {
    Q_OBJECT
public:
    explicit ApprovalViewModel(ApprovalLadderFlow::Operations operations, QObject* parent = nullptr);

    const ApprovalScreenStage& stage() const { return m_stage; }
    // A preview shows a fixed stage and never asks for a refresh.
    bool isPreview() const { return m_isPreview; }
    void showFixedStage(const ApprovalScreenStage& stage);

    void refresh();
    void choose(ClaudeApprovalMode mode);
    void choose(CodexApprovalMode mode);
    // Ends when no read or change is under way.
    QCoro::Task<> settled() const { return m_work.settled(); }

Q_SIGNALS:
    void stageChanged();

private:
    // Shared with the requests under way, which may outlive the model.
    std::shared_ptr<ApprovalLadderFlow> m_flow;
    ApprovalScreenStage m_stage;
    bool m_isPreview = false;
    WorkUnderWay m_work;
};

} // namespace corvane
