#include "UpdateAlertView.h"

#include <corvane/UpdatesModel.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/Gauge.h>
#include <corvane/controls/GlassPanel.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/Lamp.h>
#include <corvane/controls/ScrollWell.h>
#include <corvane/controls/Silk.h>

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include <memory>

namespace corvane::updates {

using namespace Qt::Literals::StringLiterals;

UpdateAlertView::UpdateAlertView(UpdatesModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_lamp(new Lamp(ReadoutLamp::off, 12))
    , m_word(new QLabel)
    , m_headline(FieldUnitText::sentence({}, FieldUnitText::text(22, QFont::DemiBold), FU::ink))
    , m_detail(FieldUnitText::sentence({}, FieldUnitText::text(15), FU::silk))
    , m_gauge(new Gauge)
    , m_notesCaption(new Silk(u"what’s new"_s, FU::silk))
    , m_notes(FieldUnitText::sentence({}, FieldUnitText::text(14), FU::ink))
    , m_notesArea(new ScrollWell(m_notes, u"what’s new"_s))
    , m_keys(new QHBoxLayout) {
    setFixedSize(fixedSize);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(14);

    auto* glass = new GlassPanel;
    auto* readout = new QHBoxLayout;
    readout->setSpacing(12);
    readout->addWidget(m_lamp, 0, Qt::AlignVCenter);
    m_word->setFont(FieldUnitText::display(u"Black"_s, 34, 4));
    FieldUnitText::setColour(*m_word, FU::dText);
    readout->addWidget(m_word, 1);
    glass->content()->addLayout(readout);
    column->addWidget(glass);

    m_detail->setTextFormat(Qt::PlainText);
    m_headline->setTextFormat(Qt::PlainText);
    m_word->setTextFormat(Qt::PlainText);
    auto* words = new QVBoxLayout;
    words->setSpacing(8);
    words->addWidget(m_headline);
    words->addWidget(m_detail);
    words->addWidget(m_gauge);
    column->addLayout(words);

    // Release notes are shown as plain text, never as markup, in a well that scrolls when they are long.
    m_notes->setTextFormat(Qt::PlainText);
    m_notes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_notes->setAlignment(Qt::AlignTop | Qt::AlignLeading);
    m_notes->setContentsMargins(7, 5, 7, 5);
    auto* notes = new QVBoxLayout;
    notes->setSpacing(6);
    notes->addWidget(m_notesCaption);
    notes->addWidget(m_notesArea, 1);
    column->addLayout(notes, 1);
    column->addStretch();

    m_keys->setSpacing(12);
    column->addLayout(m_keys);

    connect(&m_model, &UpdatesModel::alertChanged, this, &UpdateAlertView::sync);
    sync();
}

void UpdateAlertView::sync() {
    const std::optional<UpdateAlert> alert = m_model.alert();
    if (!alert)
        return; // the window goes away; what it showed last stays until then
    m_lamp->setMode(alert->lamp());
    m_word->setText(alert->word());
    m_word->setAccessibleName(alert->word());
    m_headline->setText(alert->headline());
    m_detail->setText(alert->detail());
    m_gauge->setVisible(std::holds_alternative<UpdateAlert::Downloading>(alert->value));
    m_gauge->setValue(alert->progress());
    const QString notes = alert->releaseNotes();
    m_notes->setText(notes);
    m_notesCaption->setVisible(!notes.isEmpty());
    m_notesArea->setVisible(!notes.isEmpty());

    const QList<UpdateAlertKey> keys = alert->keys();
    if (keys == m_shownKeys)
        return;
    m_shownKeys = keys;
    // When the keys change under the focus (or nothing has it yet), the hot key takes it: Return then
    // answers as the alert's hot key promises, never with a key the person did not choose.
    const QWidget* const focused = window()->focusWidget();
    bool focusOnKeys = focused == nullptr || focused == window();
    for (std::unique_ptr<QLayoutItem> item(m_keys->takeAt(0)); item; item.reset(m_keys->takeAt(0)))
        if (QWidget* key = item->widget()) {
            focusOnKeys = focusOnKeys || key == focused;
            key->hide(); // gone from the screen now; deleted once its click, if that brought us here, is over
            key->deleteLater();
        }
    m_keys->addStretch();
    for (const UpdateAlertKey& offered : keys) {
        auto* key = new Key(offered.title,
                            {offered.hot ? KeyStyle::Variant::hot : KeyStyle::Variant::chassis, false});
        connect(key, &QAbstractButton::clicked, this,
                [this, answer = offered.answer] { m_model.answer(answer); });
        m_keys->addWidget(key);
        key->show(); // at once, not on the layout's next turn
        if (offered.hot && focusOnKeys)
            key->setFocus(Qt::OtherFocusReason);
    }
}

void UpdateAlertView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    window()->installEventFilter(this); // once per window, however often it is shown
}

bool UpdateAlertView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window() && event->type() == QEvent::Close)
        dismiss();
    return QWidget::eventFilter(watched, event);
}

void UpdateAlertView::dismiss() {
    for (const UpdateAlertKey& offered : m_shownKeys)
        if (offered.dismisses) {
            m_model.answer(offered.answer);
            return;
        }
}

void UpdateAlertView::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter && event->key() != Qt::Key_Escape) {
        QWidget::keyPressEvent(event);
        return;
    }
    for (const UpdateAlertKey& offered : m_shownKeys)
        if (enter ? offered.hot : offered.dismisses) {
            m_model.answer(offered.answer);
            return;
        }
}

} // namespace corvane::updates
