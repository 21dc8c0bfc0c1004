#include "LivePreviewsPanel.h"

#include <corvane/previews/LivePreviewsConsentSheet.h>
#include <corvane/previews/LivePreviewsWords.h>

#include <corvane/PreviewsSwitchViewModel.h>
#include <corvane/controls/ChassisPanel.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/FieldLink.h>
#include <corvane/controls/FieldToggle.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/StatusLine.h>

#include <QLabel>
#include <QVBoxLayout>

#include <utility>

namespace corvane::previews {

LivePreviewsPanel::LivePreviewsPanel(PreviewsSwitchViewModel& model, Form form, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_switch(new FieldToggle(form == Form::compact ? LivePreviewsWords::compactLabel.toString()
                                                     : LivePreviewsWords::label.toString()))
    , m_status(new StatusLine(10, form == Form::compact ? 13 : 14)) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    QAbstractButton* readMore = nullptr;
    if (form == Form::compact) {
        outer->setSpacing(8);
        outer->addWidget(m_switch);
        outer->addWidget(FieldUnitText::sentence(LivePreviewsWords::compactNote.toString(),
                                                 FieldUnitText::text(13), FU::silk));
        readMore = new FieldLink(LivePreviewsWords::readMoreLabel.toString(), FieldLink::Leads::inside, 13);
        outer->addWidget(readMore, 0, Qt::AlignLeft);
        outer->addWidget(m_status);
    } else {
        auto* panel = new ChassisPanel(LivePreviewsWords::silk.toString());
        panel->content()->addWidget(m_switch);
        panel->content()->addWidget(FieldUnitText::sentence(LivePreviewsWords::summary.toString(),
                                                            FieldUnitText::text(14), FU::silk));
        readMore = new Key(LivePreviewsWords::readMoreLabel.toString());
        panel->content()->addWidget(readMore, 0, Qt::AlignRight);
        panel->content()->addWidget(m_status);
        outer->addWidget(panel);
    }

    connect(m_switch, &QAbstractButton::clicked, this, [this](bool on) {
        m_model.choose(on);
        sync(); // the switch shows what is in effect, not where the finger left it
    });
    connect(readMore, &QAbstractButton::clicked, this, [this] { m_model.setReading(true); });
    connect(&m_model, &PreviewsSwitchViewModel::changed, this, &LivePreviewsPanel::sync);
    sync();
}

void LivePreviewsPanel::sync() {
    const PreviewsSwitchStage& stage = m_model.stage();
    m_switch->setChecked(stage.switchShowsOn());
    m_switch->setEnabled(stage.switchIsEnabled());
    const auto line = stage.statusLine();
    m_status->setVisible(line.has_value());
    if (line)
        m_status->set(line->lamp, line->text);
    syncSheet();
}

void LivePreviewsPanel::syncSheet() {
    const bool wanted = m_model.asking() || m_model.reading();
    if (!wanted) {
        if (m_sheet)
            std::exchange(m_sheet, nullptr)->close(); // neither asking nor reading: not a dismissal
        return;
    }
    if (m_sheet)
        return;
    // A window of its own over the panel's, owned by the panel.
    m_sheet = new LivePreviewsConsentSheet(m_model, this);
    m_sheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_sheet, &LivePreviewsConsentSheet::dismissed, this, [this] {
        if (m_model.asking())
            m_model.decline();
        m_model.setReading(false);
    });
    m_sheet->placeOver(window());
    if (isVisible())
        m_sheet->show();
}

void LivePreviewsPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_model.refresh();
    if (m_sheet && !m_sheet->isVisible())
        m_sheet->show();
}

void LivePreviewsPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (m_sheet)
        m_sheet->close();
}

} // namespace corvane::previews
