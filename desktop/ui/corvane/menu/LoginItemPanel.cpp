#include "LoginItemPanel.h"

#include "MenuPieces.h"

#include <corvane/status/MenuWords.h>

#include <corvane/ServerViewModel.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/FieldToggle.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/Lamp.h>

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace corvane::menu {

LoginItemPanel::LoginItemPanel(ServerViewModel& model, QWidget* parent)
    : ChassisPanel({}, parent)
    , m_model(model)
    , m_toggle(new FieldToggle(MenuWords::startAtLogin.toString()))
    , m_problemLamp(new Lamp(ReadoutLamp::waiting, 8))
    , m_sentence(chassisSentence())
    , m_openSettings(new Key(QStringLiteral("Open Startup Applications"), {KeyStyle::Variant::hot, true})) {
    content()->addWidget(m_toggle);
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    row->addWidget(m_problemLamp, 0, Qt::AlignTop);
    row->addWidget(m_sentence, 1);
    content()->addLayout(row);
    content()->addWidget(m_openSettings, 0, Qt::AlignLeft);
    connect(m_toggle, &QAbstractButton::clicked, this, [this](bool on) {
        m_model.loginItem().setEnabled(on);
        m_model.publishLoginItem();
        sync(); // the switch shows what the system now says
    });
    connect(m_openSettings, &QAbstractButton::clicked, this, [this] { m_model.loginItem().openSettings(); });
}

void LoginItemPanel::sync() {
    m_toggle->setChecked(m_model.startsAtLogin());
    const auto& problem = m_model.loginProblem();
    m_problemLamp->setVisible(problem.has_value());
    setSentence(m_sentence, problem.value_or(m_model.loginMessage()), problem ? FU::ink : FU::silk);
    m_openSettings->setVisible(m_model.loginNeedsApproval());
}

} // namespace corvane::menu
