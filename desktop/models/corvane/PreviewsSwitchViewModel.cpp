#include "PreviewsSwitchViewModel.h"

#include <corvane/KeptAlive.h>

#include <QPointer>

namespace corvane {

PreviewsSwitchViewModel::PreviewsSwitchViewModel(PreviewsSwitchFlow::Operations operations, QObject* parent)
    : QObject(parent)
    , m_switch(std::make_shared<Switch>(std::move(operations))) {
    m_switch->flow.onStageChange = [self = QPointer(this)](const PreviewsSwitchStage& stage) {
        if (!self)
            return;
        self->m_stage = stage;
        Q_EMIT self->changed();
    };
    m_switch->consent.onAskingChange = [self = QPointer(this)](bool asking) {
        if (!self)
            return;
        self->m_asking = asking;
        Q_EMIT self->changed();
    };
}

void PreviewsSwitchViewModel::showFixed(const PreviewsSwitchStage& stage, bool asking, bool reading) {
    m_isPreview = true;
    m_stage = stage;
    m_asking = asking;
    m_reading = reading;
    Q_EMIT changed();
}

void PreviewsSwitchViewModel::refresh() {
    if (!m_isPreview)
        keptAlive(m_switch, m_work.begin(), m_switch->flow.refresh());
}

void PreviewsSwitchViewModel::choose(bool on) {
    if (!m_isPreview)
        keptAlive(m_switch, m_work.begin(), m_switch->consent.flip(on));
}

void PreviewsSwitchViewModel::turnOnAfterReading() {
    if (!m_isPreview)
        keptAlive(m_switch, m_work.begin(), m_switch->consent.confirm());
}

void PreviewsSwitchViewModel::decline() {
    if (!m_isPreview)
        m_switch->consent.decline();
}

void PreviewsSwitchViewModel::setReading(bool reading) {
    if (m_isPreview || m_reading == reading)
        return;
    m_reading = reading;
    Q_EMIT changed();
}

} // namespace corvane
