#include "ReadoutGlass.h"

#include "MenuPieces.h"

#include <corvane/shell/KeepAwake.h>
#include <corvane/status/CodeReadout.h>
#include <corvane/status/MenuStatus.h>
#include <corvane/supervision/NetworkPreference.h>
#include <corvane/support/Overloaded.h>

#include <corvane/ServerViewModel.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/FieldToggle.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/FittedLine.h>
#include <corvane/controls/GlassRule.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/Lamp.h>

#include <QClipboard>
#include <QGraphicsEffect>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace corvane::menu {

using namespace Qt::Literals::StringLiterals;

namespace {

QLabel* displayLabel(const QString& style, int points, qreal spacing, const QColor& ink) {
    auto* label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    label->setFont(FieldUnitText::display(style, points, spacing));
    FieldUnitText::setColour(*label, ink);
    return label;
}

QVBoxLayout* stack(QWidget* owner, int spacing) {
    auto* column = new QVBoxLayout(owner);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);
    return column;
}

} // namespace

ReadoutGlass::ReadoutGlass(ServerViewModel& model, QWidget* parent)
    : GlassPanel(16, parent)
    , m_model(model)
    , m_lamp(new Lamp(ReadoutLamp::off, 10))
    , m_headline(displayLabel(u"Black"_s, 32, 3, FU::dText))
    , m_detail(new QLabel)
    , m_sentence(glassSentence())
    , m_voiceRule(new GlassRule)
    , m_voice(new LampLine)
    , m_awakeRule(new GlassRule)
    , m_awake(new LampLine)
    , m_running(new QWidget)
    , m_readProblem(new LampLine)
    , m_checking(glassSentence(u"Checking how your phone can reach this computer…"_s, true))
    , m_unreachable(new LampLine)
    , m_dial(new QWidget)
    , m_dialMessage(glassSentence({}, true))
    , m_address(new AddressText)
    , m_alternate(new QLabel)
    , m_codeTag(displayLabel(u"Bold"_s, 11, 0, FU::dDim))
    , m_showCode(new Key(u"Show a pairing code"_s, {KeyStyle::Variant::hot, true}))
    , m_liveCode(new QWidget)
    , m_code(new FittedLine(FieldUnitText::display(u"Black"_s, 30, 0), 0.6))
    , m_network(new FieldToggle(NetworkPreferences::label(), FieldToggle::Surface::glass))
    , m_networkSentence(glassSentence({}, true)) {
    // The headline row: lamp, headline, and the product's name over the detail lines.
    auto* header = new QHBoxLayout;
    header->setSpacing(12);
    header->addWidget(m_lamp);
    header->addWidget(m_headline);
    header->addStretch();
    auto* nameplate = new QVBoxLayout;
    nameplate->setSpacing(2);
    QLabel* name = displayLabel(u"Bold"_s, 12, 0, FU::dText);
    name->setText(u"Kestrin"_s);
    nameplate->addWidget(name, 0, Qt::AlignRight);
    m_detail->setTextFormat(Qt::PlainText);
    m_detail->setFont(FieldUnitText::monospaced(11, 0));
    FieldUnitText::setColour(*m_detail, FU::dDim);
    nameplate->addWidget(m_detail, 0, Qt::AlignRight);
    header->addLayout(nameplate);
    FieldUnitText::glow(*m_headline, 14);
    content()->addLayout(header);
    content()->addWidget(m_sentence);
    content()->addWidget(m_voiceRule);
    content()->addWidget(m_voice);
    content()->addWidget(m_awakeRule);
    content()->addWidget(m_awake);

    // How the phone connects, the code, the network switch.
    QVBoxLayout* running = stack(m_running, 10);
    running->addWidget(new GlassRule);
    running->addWidget(m_readProblem);
    running->addWidget(m_checking);
    running->addWidget(m_unreachable);
    QVBoxLayout* dial = stack(m_dial, 10);
    dial->addWidget(m_dialMessage);
    auto* addressRow = new QHBoxLayout;
    addressRow->addWidget(m_address, 1);
    auto* copy = new Key(u"Copy"_s, {KeyStyle::Variant::dark, true});
    addressRow->addWidget(copy);
    dial->addLayout(addressRow);
    m_alternate->setTextFormat(Qt::PlainText);
    m_alternate->setFont(FieldUnitText::monospaced(13, 0));
    FieldUnitText::setColour(*m_alternate, FU::dDim);
    m_alternate->setTextInteractionFlags(Qt::TextSelectableByMouse);
    dial->addWidget(m_alternate);
    dial->addSpacing(4);
    auto* tagRow = new QHBoxLayout;
    tagRow->addWidget(glassSentence(u"Then type this code:"_s, true));
    tagRow->addStretch();
    tagRow->addWidget(m_codeTag);
    dial->addLayout(tagRow);
    dial->addWidget(m_showCode, 0, Qt::AlignLeft);
    auto* codeRow = new QHBoxLayout(m_liveCode);
    codeRow->setContentsMargins(0, 0, 0, 0);
    codeRow->setSpacing(10);
    FieldUnitText::setColour(*m_code, FU::live);
    m_code->setTextInteractionFlags(Qt::TextSelectableByMouse);
    codeRow->addWidget(m_code);
    auto* newCode = new Key(u"New code"_s, {KeyStyle::Variant::dark, true});
    codeRow->addWidget(newCode);
    codeRow->addStretch();
    dial->addWidget(m_liveCode);
    running->addWidget(m_dial);
    running->addWidget(new GlassRule);
    running->addWidget(m_network);
    running->addWidget(m_networkSentence);
    content()->addWidget(m_running);

    connect(copy, &QAbstractButton::clicked, this, [this] {
        if (const auto* dialCase = m_model.instructions()
                                       ? std::get_if<DialInstructions::Dial>(&m_model.instructions()->value())
                                       : nullptr)
            QGuiApplication::clipboard()->setText(dialCase->primary);
    });
    connect(m_showCode, &QAbstractButton::clicked, this, [this] { m_model.newPairingCode(); });
    connect(newCode, &QAbstractButton::clicked, this, [this] { m_model.newPairingCode(); });
    connect(m_network, &QAbstractButton::clicked, this, [this](bool on) {
        m_model.setNetworkPreference(on ? NetworkPreference::homeNetwork
                                        : NetworkPreference::thisComputerOnly);
        sync(); // the switch shows the model's preference, whatever the click did
    });
}

void ReadoutGlass::sync() {
    const MenuStatus status = m_model.menuStatus();
    m_lamp->setMode(status.lamp);
    m_headline->setText(status.headline);
    const bool live = status.lamp == ReadoutLamp::live;
    FieldUnitText::setColour(*m_headline, live ? FU::live : FU::dText);
    m_headline->graphicsEffect()->setEnabled(live);
    m_detail->setText(status.detail.join(u" · "_s));
    m_detail->setVisible(!status.detail.isEmpty());
    m_sentence->setText(status.sentence.value_or(QString()));
    m_sentence->setVisible(status.sentence.has_value());

    const auto& voice = m_model.voice();
    m_voiceRule->setVisible(voice.has_value());
    m_voice->setVisible(voice.has_value());
    if (voice)
        m_voice->set(VoiceStatus::lampOf(voice->tone()), voice->message, u"Voice: "_s + voice->message);
    m_awakeRule->setVisible(m_model.keepingAwake());
    m_awake->setVisible(m_model.keepingAwake());
    m_awake->set(ReadoutLamp::working, KeepAwake::menuLine.toString());

    m_running->setVisible(m_model.state().isRunning());
    syncPhone();
    m_network->setChecked(m_model.networkPreference() == NetworkPreference::homeNetwork);
    syncNetworkSwitch();
    m_networkSentence->setText(m_model.isApplyingNetworkChange()
                                   ? u"Restarting the server…"_s
                                   : NetworkPreferences::explanation(m_model.networkPreference()));
}

// A focused switch that is disabled would hand the focus to the next key, which would then wear the
// keyboard's ring; the glass holds the focus instead and hands it back once the change has applied.
void ReadoutGlass::syncNetworkSwitch() {
    const bool applying = m_model.isApplyingNetworkChange();
    if (applying && m_network->hasFocus()) {
        m_networkFocusParked = true;
        setFocus(Qt::OtherFocusReason);
    }
    m_network->setEnabled(!applying);
    if (!applying && std::exchange(m_networkFocusParked, false) && hasFocus())
        m_network->setFocus(Qt::OtherFocusReason);
}

void ReadoutGlass::syncPhone() {
    const auto& problem = m_model.readProblem();
    m_readProblem->setVisible(problem.has_value());
    if (problem)
        m_readProblem->set(ReadoutLamp::waiting, *problem);
    const auto& instructions = m_model.instructions();
    m_checking->setVisible(!instructions);
    m_unreachable->setVisible(false);
    m_dial->setVisible(false);
    if (!instructions)
        return;
    std::visit(Overloaded{
                   [&](const DialInstructions::Dial& dial) {
                       m_dial->setVisible(true);
                       m_dialMessage->setText(instructions->message());
                       m_address->setAddress(dial.primary);
                       m_alternate->setVisible(!dial.alternates.isEmpty());
                       m_alternate->setText(dial.alternates.isEmpty() ? QString()
                                                                      : u"or "_s + dial.alternates.first());
                       syncCode();
                   },
                   [&](const auto&) {
                       m_unreachable->setVisible(true);
                       m_unreachable->set(ReadoutLamp::waiting, instructions->message());
                   },
               },
               instructions->value());
}

void ReadoutGlass::syncCode() {
    const CodeReadout readout{m_model.pairingCode(), m_model.now()};
    const std::optional<PairingCode> live = readout.liveCode();
    m_codeTag->setText(readout.codeTag());
    m_showCode->setVisible(!live);
    m_liveCode->setVisible(live.has_value());
    if (live)
        m_code->setLine(live->code);
}

} // namespace corvane::menu
