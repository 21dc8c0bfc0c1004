#include "DoneStep.h"

#include <corvane/previews/LivePreviewsPanel.h>
#include <corvane/welcome/DeveloperToolsWords.h>
#include <corvane/welcome/WelcomeFinish.h>

#include <corvane/WelcomeViewModel.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/GlassPanel.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/Lamp.h>
#include <corvane/controls/Silk.h>

#include <QGraphicsEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace corvane::welcome {

using namespace Qt::Literals::StringLiterals;

DoneStep::DoneStep(WelcomeViewModel& model, PreviewsSwitchViewModel* previews, QWidget* parent)
    : StepScreen(model, parent)
    , m_silk(new Silk({}, FU::silk))
    , m_lamp(new Lamp(ReadoutLamp::live, 12))
    , m_headline(label({}, FieldUnitText::display(u"Black"_s, 32, 3), FU::dText, false))
    , m_glow(FieldUnitText::glow(*m_headline))
    , m_title(label({}, FieldUnitText::text(22, QFont::DemiBold), FU::ink))
    , m_lede(label(WelcomeFinishWords::readyLede.toString(), FieldUnitText::text(16), FU::ink))
    , m_tools(new QWidget)
    , m_toolsLamp(new Lamp(ReadoutLamp::working, 8))
    , m_toolsNote(smallNote())
    , m_install(new Key({}))
    , m_whileInstalling(smallNote(WelcomeFinishWords::whileInstalling.toString()))
    , m_skipped(new QWidget)
    , m_skippedNote(smallNote())
    , m_finish(new Key(u"Finish"_s, {KeyStyle::Variant::hot, false})) {
    layout()->addWidget(m_silk);
    auto* glass = new GlassPanel;
    auto* headline = row(12);
    headline->addWidget(m_lamp, 0, Qt::AlignVCenter);
    headline->addWidget(m_headline, 1);
    glass->content()->addLayout(headline);
    layout()->addWidget(glass);
    layout()->addWidget(m_title);
    layout()->addWidget(m_lede);
    auto* tools = row(8);
    m_tools->setLayout(tools);
    tools->addWidget(m_toolsLamp, 0, Qt::AlignVCenter);
    tools->addWidget(m_toolsNote, 1);
    tools->addWidget(m_install, 0, Qt::AlignVCenter);
    layout()->addWidget(m_tools);
    layout()->addWidget(m_whileInstalling);
    auto* skipped = row(8);
    m_skipped->setLayout(skipped);
    skipped->addWidget(new Lamp(ReadoutLamp::waiting, 8), 0, Qt::AlignVCenter);
    skipped->addWidget(m_skippedNote, 1);
    auto* back = new Key(WelcomeFinishWords::goBackLabel.toString());
    skipped->addWidget(back, 0, Qt::AlignVCenter);
    layout()->addWidget(m_skipped);
    m_glassesNote = smallNote();
    m_whereNote = smallNote();
    layout()->addWidget(m_glassesNote);
    layout()->addWidget(m_whereNote);
    if (previews) {
        m_previews = new previews::LivePreviewsPanel(*previews, previews::LivePreviewsPanel::Form::compact);
        layout()->addWidget(m_previews);
    }
    static_cast<QVBoxLayout*>(layout())->addStretch();
    auto* finishRow = row();
    finishRow->addStretch();
    finishRow->addWidget(m_finish);
    static_cast<QVBoxLayout*>(layout())->addLayout(finishRow);

    connect(m_install, &QAbstractButton::clicked, this, [this] { m_model.installDeveloperTools(); });
    connect(back, &QAbstractButton::clicked, this, [this] { m_model.goBackToSkipped(); });
    connect(m_finish, &QAbstractButton::clicked, this, [this] {
        m_model.finish();
        Q_EMIT finished();
    });
}

void DoneStep::setTrayCheck(std::function<bool()> trayShown) {
    m_trayShown = std::move(trayShown);
    sync();
}

void DoneStep::sync() {
    // Words about the tray only where there is one: asked at each showing, as a tray may come late.
    const bool tray = m_trayShown();
    m_glassesNote->setText(
        (tray ? WelcomeWords::glassesLater : WelcomeWords::glassesLaterWithoutTray).toString());
    m_whereNote->setText((tray ? WelcomeWords::livesInTray : WelcomeWords::livesWithoutTray).toString());
    const WelcomeFinishState state = WelcomeFinish::state(m_model.facts(), m_model.toolsStage());
    m_silk->setText(WelcomeFinishWords::silk(state).toString());
    m_lamp->setMode(state == WelcomeFinishState::ready         ? ReadoutLamp::live
                    : state == WelcomeFinishState::almostReady ? ReadoutLamp::working
                                                               : ReadoutLamp::waiting);
    m_headline->setText(WelcomeFinishWords::headline(state).toString());
    FieldUnitText::setColour(*m_headline, state == WelcomeFinishState::notReady ? FU::dText : FU::live);
    m_glow->setEnabled(state == WelcomeFinishState::ready); // lit only once all is ready
    m_title->setText(WelcomeFinishWords::title(state).toString());
    m_lede->setVisible(state == WelcomeFinishState::ready);
    const DeveloperToolsStage stage = m_model.toolsStage();
    const auto toolsNote = WelcomeFinishWords::tools(stage);
    m_tools->setVisible(toolsNote.has_value());
    m_toolsNote->setText(toolsNote.value_or(QStringView()).toString());
    const bool working = stage == DeveloperToolsStage::checking || stage == DeveloperToolsStage::installing;
    m_toolsLamp->setMode(working ? ReadoutLamp::working : ReadoutLamp::waiting);
    m_install->setVisible(!working && m_model.toolsInstaller() != DeveloperToolsInstaller::none);
    m_install->setText(stage == DeveloperToolsStage::installerClosed
                           ? DeveloperToolsWords::installAgainLabel.toString()
                           : DeveloperToolsWords::installLabel.toString());
    m_whileInstalling->setVisible(stage == DeveloperToolsStage::installing);
    const auto skipped = WelcomeFinishWords::skipped(WelcomeFinish::skippedSteps(m_model.facts()));
    m_skipped->setVisible(skipped.has_value());
    m_skippedNote->setText(skipped.value_or(QString()));
    if (m_previews)
        m_previews->setVisible(state != WelcomeFinishState::notReady);
}

} // namespace corvane::welcome
