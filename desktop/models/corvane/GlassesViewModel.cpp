#include "GlassesViewModel.h"

#include <corvane/KeptAlive.h>

#include <QPointer>

namespace corvane {

GlassesViewModel::GlassesViewModel(std::shared_ptr<GlassesSetup> flow,
                                   std::optional<QString> applicationSupport, QObject* parent)
    : QObject(parent)
    , m_flow(std::move(flow))
    , m_applicationSupport(std::move(applicationSupport)) {
    if (!m_flow) {
        m_packagingProblem = packagingWords.toString();
        return;
    }
    m_flow->onStageChange = [self = QPointer(this)](const GlassesSetupStage& stage) {
        if (!self)
            return;
        self->m_stage = stage;
        Q_EMIT self->changed();
    };
}

bool GlassesViewModel::canBegin() const {
    return !m_packagingProblem && !m_stage.isBusy() &&
           !std::holds_alternative<GlassesSetupStage::AskingToFetchTool>(m_stage.value);
}

bool GlassesViewModel::hasHelper() const {
    if (m_previewHasHelper)
        return *m_previewHasHelper;
    return m_applicationSupport &&
           AdbLocator::isExecutableFile(AdbLocator::managedPath(*m_applicationSupport));
}

bool GlassesViewModel::offersRemoval() const {
    return hasHelper() && !m_stage.isBusy() &&
           !std::holds_alternative<GlassesSetupStage::AskingToFetchTool>(m_stage.value);
}

void GlassesViewModel::begin() {
    if (m_flow && !m_isPreview)
        keptAlive(m_flow, m_work.begin(), m_flow->begin());
}

void GlassesViewModel::confirmFetch() {
    if (m_flow && !m_isPreview)
        keptAlive(m_flow, m_work.begin(), m_flow->confirmFetch());
}

void GlassesViewModel::declineFetch() {
    if (m_flow && !m_isPreview)
        m_flow->declineFetch();
}

void GlassesViewModel::reset() {
    if (m_flow && !m_isPreview)
        m_flow->reset();
}

void GlassesViewModel::removeHelper() {
    if (!m_applicationSupport || m_isPreview)
        return;
    const std::expected<void, QString> removed = AdbLocator::removeManaged(*m_applicationSupport);
    m_removalProblem = removed
                           ? std::nullopt
                           : std::optional(QStringLiteral("Kestrin couldn't remove it: ") + removed.error());
    Q_EMIT changed();
}

void GlassesViewModel::showFixed(const GlassesSetupStage& stage, bool hasHelper) {
    m_isPreview = true;
    m_stage = stage;
    m_previewHasHelper = hasHelper;
    Q_EMIT changed();
}

} // namespace corvane
