#pragma once

#include <QWidget>

class QLabel;

namespace corvane {
class ApprovalViewModel;
class FieldSelector;
class Lamp;
class PreviewsSwitchViewModel;
class StatusLine;
} // namespace corvane

namespace corvane::agents {

// The agent-permission screen, 600 points wide: the title, then by the model's stage a status line,
// or the two ladders (Claude's and Codex's) with the chosen mode's explanation, disabled while a
// change saves, and below them the live-previews panel when it is given that switch's model. It reads
// the modes again each time it is shown.
class ApprovalView : public QWidget {
    Q_OBJECT
public:
    static constexpr int fixedWidth = 600;

    explicit ApprovalView(ApprovalViewModel& model, PreviewsSwitchViewModel* previewsModel = nullptr,
                          QWidget* parent = nullptr);

    void sync();

protected:
    void showEvent(QShowEvent* event) override;

private:
    ApprovalViewModel& m_model;
    StatusLine* m_status;
    QWidget* m_ladders;
    FieldSelector* m_claude;
    QLabel* m_claudeExplanation;
    FieldSelector* m_codex;
    Lamp* m_codexLamp;
    QLabel* m_codexExplanation;
    QLabel* m_saving;
};

} // namespace corvane::agents
