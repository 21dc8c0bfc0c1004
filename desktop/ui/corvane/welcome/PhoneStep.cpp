#include "PhoneStep.h"

#include <corvane/status/CodeReadout.h>
#include <corvane/status/DialInstructions.h>
#include <corvane/welcome/WelcomeFinish.h>

#include <corvane/ServerViewModel.h>
#include <corvane/WelcomeViewModel.h>
#include <corvane/controls/ChassisPanel.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/FittedLine.h>
#include <corvane/controls/GlassPanel.h>
#include <corvane/controls/GlassRule.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/Lamp.h>
#include <corvane/controls/Silk.h>
#include <corvane/controls/Spinner.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace corvane::welcome {

using namespace Qt::Literals::StringLiterals;

PhoneStep::PhoneStep(WelcomeViewModel& model, ServerViewModel& server, QWidget* parent)
    : StepScreen(model, parent)
    , m_server(server)
    , m_connected(new QWidget)
    , m_connectedText(label({}, FieldUnitText::text(16, QFont::Medium), FU::ink))
    , m_dial(new QWidget)
    , m_address(new FittedLine(FieldUnitText::monospaced(20, 0), 0.5))
    , m_alternate(label({}, FieldUnitText::monospaced(12, 0), FU::dDim, false))
    , m_codeCaption(new Silk({}, FU::dDim))
    , m_code(glowing(34))
    , m_newCode(new Key({}, {KeyStyle::Variant::dark, true}))
    , m_noAddress(
          smallNote(u"This computer isn't on a network right now. Connect it to wi-fi and try again."_s))
    , m_homeNetwork(new ChassisPanel(u"home network"_s))
    , m_turningOn(lampNote(new Lamp(ReadoutLamp::working, 8), new Silk(u"Turning it on…"_s, FU::silk)))
    , m_reach(new Key(u"Let my phone reach this computer"_s, {KeyStyle::Variant::hot, false}))
    , m_loading(new Spinner(16))
    , m_waiting(
          lampNote(new Lamp(ReadoutLamp::working, 8), new Silk(u"Waiting for your phone…"_s, FU::silk))) {
    addHeading();
    auto* connected = row(8);
    m_connected->setLayout(connected);
    connected->addWidget(new Lamp(ReadoutLamp::ok, 8), 0, Qt::AlignVCenter);
    connected->addWidget(m_connectedText, 1);
    layout()->addWidget(m_connected);

    const QString trust =
        u"Your phone can reach Kestrin over your wi-fi. So can anything else on that network, "
        u"including a guest — it still has to be paired first. This connection is not encrypted, "
        u"so only turn it on for a network you trust, like your home."_s;
    auto* glass = new GlassPanel;
    glass->content()->addWidget(new Silk(u"ADDRESS"_s, FU::dDim));
    auto* addressRow = row(10);
    FieldUnitText::setColour(*m_address, FU::dText);
    m_address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    addressRow->addWidget(m_address, 1);
    auto* copy = new Key(u"Copy"_s, {KeyStyle::Variant::dark, true});
    addressRow->addWidget(copy, 0, Qt::AlignVCenter);
    glass->content()->addLayout(addressRow);
    m_alternate->setTextInteractionFlags(Qt::TextSelectableByMouse);
    glass->content()->addWidget(m_alternate);
    glass->content()->addWidget(new GlassRule);
    auto* codeRow = row(10);
    auto* codeColumn = new QVBoxLayout;
    codeColumn->addWidget(m_codeCaption);
    codeColumn->addWidget(m_code);
    codeRow->addLayout(codeColumn);
    codeRow->addStretch();
    codeRow->addWidget(m_newCode, 0, Qt::AlignVCenter);
    glass->content()->addLayout(codeRow);
    auto* dial = new QVBoxLayout(m_dial);
    dial->setContentsMargins(0, 0, 0, 0);
    dial->addWidget(glass);
    dial->addWidget(lampNote(new Lamp(ReadoutLamp::ok, 8), label(trust, FieldUnitText::text(12), FU::silk)));
    layout()->addWidget(m_dial);
    layout()->addWidget(m_noAddress);

    auto* home = static_cast<ChassisPanel*>(m_homeNetwork);
    home->content()->addWidget(
        lampNote(new Lamp(ReadoutLamp::waiting, 8),
                 label(u"Kestrin is only answering this computer, so your phone can't reach it yet."_s,
                       FieldUnitText::text(14, QFont::Medium), FU::ink)));
    home->content()->addWidget(m_turningOn);
    home->content()->addWidget(m_reach, 0, Qt::AlignLeft);
    home->content()->addWidget(label(trust, FieldUnitText::text(12), FU::silk));
    layout()->addWidget(m_homeNetwork);
    layout()->addWidget(m_loading); // until the server says how a phone reaches it
    layout()->addWidget(m_waiting);
    static_cast<QVBoxLayout*>(layout())->addStretch();

    connect(copy, &QAbstractButton::clicked, this, [this] {
        const auto& info = m_model.setupInfo();
        if (!info)
            return;
        const DialInstructions instructions = DialInstructions::from(*info);
        if (const auto* dialCase = std::get_if<DialInstructions::Dial>(&instructions.value()))
            QGuiApplication::clipboard()->setText(dialCase->primary);
    });
    connect(m_newCode, &QAbstractButton::clicked, this, [this] { m_model.newPairingCode(); });
    connect(m_reach, &QAbstractButton::clicked, this,
            [this] { m_server.setNetworkPreference(NetworkPreference::homeNetwork); });
    connect(&m_server, &ServerViewModel::changed, this, &PhoneStep::sync);
}

void PhoneStep::sync() {
    const bool paired = m_model.facts().phonePaired;
    m_heading.silk->setText(stepSilk(u"your phone"_s));
    m_heading.title->setText(WelcomeWords::phoneTitle.toString());
    m_heading.lede->setText(u"In the Kestrin app on your phone, type this address and code."_s);
    m_heading.lede->setVisible(!paired);
    m_connected->setVisible(paired);
    m_connectedText->setText(u"%1 is connected"_s.arg(m_model.pairedDeviceName().value_or(u"Your phone"_s)));
    const auto& info = m_model.setupInfo();
    const std::optional<DialInstructions> instructions =
        info ? std::optional(DialInstructions::from(*info)) : std::nullopt;
    const auto* dial = instructions ? std::get_if<DialInstructions::Dial>(&instructions->value()) : nullptr;
    m_dial->setVisible(!paired && dial);
    m_noAddress->setVisible(!paired && instructions &&
                            std::holds_alternative<DialInstructions::NoAddressYet>(instructions->value()));
    m_homeNetwork->setVisible(
        !paired && instructions &&
        std::holds_alternative<DialInstructions::NotAnsweringTheNetwork>(instructions->value()));
    m_turningOn->setVisible(m_server.isApplyingNetworkChange());
    m_reach->setVisible(!m_server.isApplyingNetworkChange());
    m_loading->setVisible(!paired && !info);
    m_waiting->setVisible(!paired);
    if (dial) {
        m_address->setLine(dial->primary);
        m_alternate->setText(dial->alternates.isEmpty() ? QString() : u"or "_s + dial->alternates.first());
        m_alternate->setVisible(!dial->alternates.isEmpty());
    }
    const CodeReadout code{m_model.pairingCode(), m_model.now()};
    const auto live = code.liveCode();
    m_codeCaption->setText(live ? u"CODE · GOOD FOR "_s + live->countdown(m_model.now()) : u"CODE"_s);
    m_code->setVisible(live.has_value());
    m_code->setLine(live ? live->code : QString());
    m_newCode->setText(live ? u"New code"_s : u"Show a pairing code"_s);
    m_newCode->setStyle({live ? KeyStyle::Variant::dark : KeyStyle::Variant::hot, true});
}

} // namespace corvane::welcome
