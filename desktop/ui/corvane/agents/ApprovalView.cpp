#include "ApprovalView.h"

#include <corvane/agents/ApprovalModeWords.h>
#include <corvane/previews/LivePreviewsPanel.h>

#include <corvane/ApprovalViewModel.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/FieldSelector.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/Lamp.h>
#include <corvane/controls/Silk.h>
#include <corvane/controls/StatusLine.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace corvane::agents {

using namespace Qt::Literals::StringLiterals;

namespace {

QLabel* text(const QString& words, int points, const QColor& colour, QFont::Weight weight = QFont::Normal) {
    return FieldUnitText::sentence(words, FieldUnitText::text(points, weight), colour);
}

template <typename Mode, typename Modes>
QList<FieldSelector::Option> optionsOf(const Modes& all, QStringView (*label)(Mode), bool (*warns)(Mode)) {
    QList<FieldSelector::Option> options;
    for (const Mode mode : all)
        options.append({label(mode).toString(), warns ? warns(mode) : false});
    return options;
}

// A titled ladder: its caption, the selector and, below, the chosen mode's explanation.
QWidget* ladder(const QString& title, FieldSelector* selector, Lamp* lamp, QLabel* explanation) {
    auto* holder = new QWidget;
    auto* column = new QVBoxLayout(holder);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    column->addWidget(new Silk(title, FU::silk));
    selector->setAccessibleName(title);
    column->addWidget(selector);
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    if (lamp)
        row->addWidget(lamp, 0, Qt::AlignTop);
    row->addWidget(explanation, 1);
    column->addLayout(row);
    return holder;
}

} // namespace

ApprovalView::ApprovalView(ApprovalViewModel& model, PreviewsSwitchViewModel* previewsModel, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_status(new StatusLine(8, 14))
    , m_ladders(new QWidget)
    , m_claude(new FieldSelector(
          optionsOf<ClaudeApprovalMode>(ClaudeApprovalModes::allCases, &ClaudeApprovalModes::label, nullptr)))
    , m_claudeExplanation(text({}, 14, FU::silk))
    , m_codex(new FieldSelector(optionsOf<CodexApprovalMode>(
          CodexApprovalModes::allCases, &CodexApprovalModes::label, &CodexApprovalModes::wearsWarning)))
    , m_codexLamp(new Lamp(ReadoutLamp::waiting, 8))
    , m_codexExplanation(text({}, 14, FU::silk))
    , m_saving(text(u"Saving…"_s, 14, FU::silk)) {
    setFixedWidth(fixedWidth);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(16);
    column->addWidget(text(u"What can the agents do?"_s, 24, FU::ink, QFont::DemiBold));
    column->addWidget(
        text(u"How much each agent may do on its own. You can always make an agent more careful "
             u"from your phone; making it less careful happens here."_s,
             15, FU::ink));
    auto* ladders = new QVBoxLayout(m_ladders);
    ladders->setContentsMargins(0, 0, 0, 0);
    ladders->setSpacing(20);
    ladders->addWidget(ladder(u"Claude"_s, m_claude, nullptr, m_claudeExplanation));
    ladders->addWidget(ladder(u"Codex"_s, m_codex, m_codexLamp, m_codexExplanation));
    column->addWidget(m_ladders);
    column->addWidget(m_status);
    column->addWidget(m_saving);
    if (previewsModel)
        column->addWidget(
            new previews::LivePreviewsPanel(*previewsModel, previews::LivePreviewsPanel::Form::full));
    column->addStretch(); // a screen taller than its stage keeps its lines together at the top

    connect(m_claude, &FieldSelector::selectRequested, this, [this](int index) {
        m_model.choose(ClaudeApprovalModes::allCases.at(static_cast<std::size_t>(index)));
    });
    connect(m_codex, &FieldSelector::selectRequested, this, [this](int index) {
        m_model.choose(CodexApprovalModes::allCases.at(static_cast<std::size_t>(index)));
    });
    connect(&m_model, &ApprovalViewModel::stageChanged, this, &ApprovalView::sync);
    sync();
}

void ApprovalView::sync() {
    const auto& stage = m_model.stage().value;
    const auto* ready = std::get_if<ApprovalScreenStage::Ready>(&stage);
    const auto* saving = std::get_if<ApprovalScreenStage::Saving>(&stage);
    const std::optional<ApprovalSnapshot> snapshot = ready    ? std::optional(ready->snapshot)
                                                     : saving ? std::optional(saving->snapshot)
                                                              : std::nullopt;

    m_ladders->setVisible(snapshot.has_value());
    m_ladders->setEnabled(ready != nullptr);
    m_saving->setVisible(saving != nullptr);
    if (snapshot) {
        m_claude->setSelection(
            static_cast<int>(std::ranges::find(ClaudeApprovalModes::allCases, snapshot->claude) -
                             ClaudeApprovalModes::allCases.begin()));
        m_codex->setSelection(
            static_cast<int>(std::ranges::find(CodexApprovalModes::allCases, snapshot->codex) -
                             CodexApprovalModes::allCases.begin()));
        m_claudeExplanation->setText(ClaudeApprovalModes::explanation(snapshot->claude).toString());
        m_codexExplanation->setText(CodexApprovalModes::explanation(snapshot->codex).toString());
        const bool danger = CodexApprovalModes::wearsWarning(snapshot->codex);
        m_codexLamp->setVisible(danger);
        FieldUnitText::setColour(*m_codexExplanation, danger ? FU::ink : FU::silk);
    }

    // The status line: reading, unreachable, or the last change's problem.
    std::optional<std::pair<ReadoutLamp, QString>> status;
    if (std::holds_alternative<ApprovalScreenStage::Loading>(stage))
        status = {ReadoutLamp::working, u"Reading the current settings…"_s};
    else if (const auto* unavailable = std::get_if<ApprovalScreenStage::Unavailable>(&stage))
        status = {ReadoutLamp::waiting, unavailable->message};
    else if (ready && ready->problem)
        status = {ReadoutLamp::waiting, *ready->problem};
    m_status->setVisible(status.has_value());
    if (status)
        m_status->set(status->first, status->second);
}

void ApprovalView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_model.refresh(); // reopening shows the server's current modes
}

} // namespace corvane::agents
