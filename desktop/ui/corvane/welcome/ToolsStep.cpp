#include "ToolsStep.h"

#include <corvane/welcome/DeveloperToolsWords.h>

#include <corvane/WelcomeViewModel.h>
#include <corvane/controls/Cell.h>
#include <corvane/controls/ChassisPanel.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/Lamp.h>
#include <corvane/controls/Silk.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace corvane::welcome {

using namespace Qt::Literals::StringLiterals;

ToolsStep::ToolsStep(WelcomeViewModel& model, QWidget* parent)
    : StepScreen(model, parent)
    , m_status(new Cell({}, 16))
    , m_lamp(new Lamp(ReadoutLamp::working, 8))
    , m_statusNote(smallNote())
    , m_whatToClick(smallNote())
    , m_closedNote(smallNote())
    , m_install(new Key({}, {KeyStyle::Variant::hot, false})) {
    addHeading();
    auto* panel = new ChassisPanel(u"developer tools"_s);
    auto* statusRow = row(12);
    statusRow->addWidget(m_status);
    statusRow->addWidget(new Silk(u"free · one time"_s, FU::silk), 0, Qt::AlignVCenter);
    statusRow->addStretch();
    panel->content()->addLayout(statusRow);
    panel->content()->addWidget(m_whatToClick);
    panel->content()->addWidget(lampNote(m_lamp, m_statusNote));
    panel->content()->addWidget(m_closedNote);
    panel->content()->addWidget(m_install, 0, Qt::AlignLeft);
    layout()->addWidget(panel);
    static_cast<QVBoxLayout*>(layout())->addStretch();
    connect(m_install, &QAbstractButton::clicked, this, [this] { m_model.installDeveloperTools(); });
}

void ToolsStep::sync() {
    m_heading.silk->setText(stepSilk(u"get this computer ready"_s));
    m_heading.title->setText(DeveloperToolsWords::title.toString());
    m_heading.lede->setText(DeveloperToolsWords::why.toString());
    const DeveloperToolsStage stage = m_model.toolsStage();
    const DeveloperToolsInstaller installer = m_model.toolsInstaller();
    m_whatToClick->setText(DeveloperToolsWords::whatToClick(installer).toString());
    using enum DeveloperToolsStage;
    m_status->setText(stage == checking     ? u"CHECKING"_s
                      : stage == ready      ? u"READY"_s
                      : stage == installing ? u"INSTALLING"_s
                                            : u"NOT INSTALLED"_s);
    const bool needsInstall = stage == missing || stage == installerClosed;
    m_lamp->parentWidget()->setVisible(!needsInstall);
    m_lamp->setMode(stage == ready ? ReadoutLamp::ok : ReadoutLamp::working);
    m_statusNote->setText(DeveloperToolsWords::status(stage, installer).toString());
    m_closedNote->setText(DeveloperToolsWords::status(installerClosed, installer).toString());
    m_closedNote->setVisible(stage == installerClosed);
    m_install->setVisible(needsInstall && installer != DeveloperToolsInstaller::none);
    m_install->setText(stage == installerClosed ? DeveloperToolsWords::installAgainLabel.toString()
                                                : DeveloperToolsWords::installLabel.toString());
}

} // namespace corvane::welcome
