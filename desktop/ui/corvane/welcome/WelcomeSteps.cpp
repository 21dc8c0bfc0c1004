#include "WelcomeSteps.h"

#include <corvane/previews/LivePreviewsPanel.h>
#include <corvane/status/CodeReadout.h>
#include <corvane/status/DialInstructions.h>
#include <corvane/welcome/DeveloperToolsWords.h>
#include <corvane/welcome/FolderAccessWords.h>
#include <corvane/welcome/WelcomeFinish.h>

#include <corvane/ServerViewModel.h>
#include <corvane/WelcomeViewModel.h>
#include <corvane/controls/Cell.h>
#include <corvane/controls/ChassisPanel.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/GlassPanel.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/Lamp.h>
#include <corvane/controls/Silk.h>

#include <QClipboard>
#include <QDesktopServices>
#include <QGraphicsDropShadowEffect>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QUrl>
#include <QVBoxLayout>

namespace corvane::welcome {

using namespace Qt::Literals::StringLiterals;

namespace {

QLabel* label(const QString& text, const QFont& font, const QColor& colour, bool wraps = true) {
    QLabel* made = FieldUnitText::sentence(text, font, colour);
    made->setWordWrap(wraps);
    return made;
}

// The small note: 14-point text in the silk colour.
QLabel* small(const QString& text = {}) {
    return label(text, FieldUnitText::text(14), FU::silk);
}

QHBoxLayout* row(int spacing = 8) {
    auto* made = new QHBoxLayout;
    made->setContentsMargins(0, 0, 0, 0);
    made->setSpacing(spacing);
    return made;
}

QWidget* lampNote(Lamp* lamp, QWidget* note) {
    auto* holder = new QWidget;
    auto* line = row();
    holder->setLayout(line);
    line->addWidget(lamp, 0, Qt::AlignTop);
    line->addWidget(note, 1);
    return holder;
}

// A value in the large display face, in the live colour with a soft glow.
QLabel* glowing(int points) {
    auto* made = label({}, FieldUnitText::display(u"Black"_s, points, 3), FU::live, false);
    made->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* glow = new QGraphicsDropShadowEffect(made);
    QColor halo = FU::live;
    halo.setAlphaF(0.5f);
    glow->setColor(halo);
    glow->setBlurRadius(10);
    glow->setOffset(0, 0);
    made->setGraphicsEffect(glow);
    return made;
}

} // namespace

StepScreen::StepScreen(WelcomeViewModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);
}

void StepScreen::addHeading(Silk*& silk, QLabel*& title, QLabel*& lede) {
    silk = new Silk({}, FU::silk);
    title = label({}, FieldUnitText::text(30, QFont::DemiBold), FU::ink);
    lede = label({}, FieldUnitText::text(16), FU::ink);
    auto* heading = new QVBoxLayout;
    heading->setSpacing(6);
    heading->addWidget(silk);
    heading->addWidget(title);
    heading->addWidget(lede);
    static_cast<QVBoxLayout*>(layout())->addLayout(heading);
}

QString StepScreen::stepSilk(const QString& text) const {
    return WelcomeFlow::progressLabel(m_model.step(), m_model.showsToolsStep()).value_or(QString()) +
           u" · "_s + text;
}

ToolsStep::ToolsStep(WelcomeViewModel& model, QWidget* parent)
    : StepScreen(model, parent)
    , m_status(new Cell({}, 16))
    , m_lamp(new Lamp(ReadoutLamp::working, 8))
    , m_statusNote(small())
    , m_closedNote(small(DeveloperToolsWords::status(DeveloperToolsStage::installerClosed).toString()))
    , m_install(new Key({}, {KeyStyle::Variant::hot, false})) {
    addHeading(m_silk, m_title, m_lede);
    auto* panel = new ChassisPanel(u"developer tools"_s);
    auto* statusRow = row(12);
    statusRow->addWidget(m_status);
    statusRow->addWidget(new Silk(u"free · one time"_s, FU::silk), 0, Qt::AlignVCenter);
    statusRow->addStretch();
    panel->content()->addLayout(statusRow);
    panel->content()->addWidget(small(DeveloperToolsWords::whatToClick.toString()));
    panel->content()->addWidget(lampNote(m_lamp, m_statusNote));
    panel->content()->addWidget(m_closedNote);
    panel->content()->addWidget(m_install, 0, Qt::AlignLeft);
    layout()->addWidget(panel);
    static_cast<QVBoxLayout*>(layout())->addStretch();
    connect(m_install, &QAbstractButton::clicked, this, [this] { m_model.installDeveloperTools(); });
}

void ToolsStep::sync() {
    m_silk->setText(stepSilk(u"get this computer ready"_s));
    m_title->setText(DeveloperToolsWords::title.toString());
    m_lede->setText(DeveloperToolsWords::why.toString());
    const DeveloperToolsStage stage = m_model.toolsStage();
    using enum DeveloperToolsStage;
    m_status->setText(stage == checking     ? u"CHECKING"_s
                      : stage == ready      ? u"READY"_s
                      : stage == installing ? u"INSTALLING"_s
                                            : u"NOT INSTALLED"_s);
    const bool needsInstall = stage == missing || stage == installerClosed;
    m_lamp->parentWidget()->setVisible(!needsInstall);
    m_lamp->setMode(stage == ready ? ReadoutLamp::ok : ReadoutLamp::working);
    m_statusNote->setText(DeveloperToolsWords::status(stage).toString());
    m_closedNote->setVisible(stage == installerClosed);
    m_install->setVisible(needsInstall);
    m_install->setText(stage == installerClosed ? DeveloperToolsWords::installAgainLabel.toString()
                                                : DeveloperToolsWords::installLabel.toString());
}

FolderStep::FolderStep(WelcomeViewModel& model, QWidget* parent)
    : StepScreen(model, parent)
    , m_readyLamp(new Lamp(ReadoutLamp::ok, 8))
    , m_ready(new Silk({}, FU::silk))
    , m_folder(label({}, FieldUnitText::monospaced(13, 0), FU::ink, false))
    , m_voiceNote(small(WelcomeWords::voiceDownload.toString()))
    , m_choose(new Key(u"Choose a Folder…"_s, {KeyStyle::Variant::hot, false}))
    , m_asking(lampNote(new Lamp(ReadoutLamp::working, 8), small(FolderAccessWords::askingNote.toString())))
    , m_deniedHelp(small(FolderAccessWords::deniedHelp.toString()))
    , m_notNow(new Key(u"Not now"_s))
    , m_continue(new Key(FolderAccessWords::continueLabel.toString())) {
    addHeading(m_silk, m_title, m_lede);
    auto* project = new ChassisPanel;
    auto* header = row();
    header->addWidget(new Silk(u"project folder"_s, FU::silk));
    header->addStretch();
    header->addWidget(m_readyLamp, 0, Qt::AlignVCenter);
    header->addWidget(m_ready);
    project->content()->addLayout(header);
    auto* body = row(12);
    m_folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    body->addWidget(m_folder, 1);
    body->addWidget(m_voiceNote, 1);
    body->addWidget(m_choose, 0, Qt::AlignVCenter);
    project->content()->addLayout(body);
    layout()->addWidget(project);

    auto* access = new ChassisPanel(FolderAccessWords::panelLabel.toString());
    access->content()->addWidget(small(FolderAccessWords::why.toString()));
    auto* folders = row(18);
    for (const ProtectedFolder folder : ProtectedFolders::all) {
        auto* lamp = new Lamp(ReadoutLamp::off, 8);
        m_folderLamps.append(lamp);
        folders->addWidget(lamp, 0, Qt::AlignVCenter);
        folders->addWidget(new Silk(ProtectedFolders::rawValue(folder).toString(), FU::silk));
    }
    folders->addStretch();
    access->content()->addLayout(folders);
    m_asking->setMinimumHeight(44);
    access->content()->addWidget(m_asking);
    auto* keys = row(10);
    keys->addWidget(m_deniedHelp, 1);
    keys->addStretch();
    keys->addWidget(m_notNow);
    keys->addWidget(m_continue);
    access->content()->addLayout(keys);
    layout()->addWidget(access);
    static_cast<QVBoxLayout*>(layout())->addStretch();

    connect(m_choose, &QAbstractButton::clicked, this, [this] { m_model.chooseFolder(); });
    connect(m_notNow, &QAbstractButton::clicked, this, [this] { m_model.declineFolderAccess(); });
    connect(m_continue, &QAbstractButton::clicked, this, [this] { m_model.allowFolderAccess(); });
}

void FolderStep::sync() {
    m_silk->setText(stepSilk(u"your projects"_s));
    m_title->setText(WelcomeWords::folderTitle.toString());
    m_lede->setText(u"Pick the folder your projects live in. Each folder inside it becomes a project you can "
                    u"switch between from your phone."_s);
    const auto& outcome = m_model.folderOutcome();
    m_readyLamp->setVisible(outcome.has_value());
    m_ready->setVisible(outcome.has_value());
    if (outcome) {
        const qsizetype count = outcome->bookmarks.size();
        m_ready->setText(count == 1 ? u"1 project ready"_s : u"%1 projects ready"_s.arg(count));
        m_folder->setText(m_folder->fontMetrics().elidedText(outcome->cwd, Qt::ElideMiddle, 420));
    }
    m_folder->setVisible(outcome.has_value());
    m_voiceNote->setVisible(!outcome);
    m_choose->setStyle({outcome ? KeyStyle::Variant::chassis : KeyStyle::Variant::hot, false});
    m_choose->setEnabled(!m_model.busy());

    const auto& answers = m_model.folderAnswers();
    for (qsizetype index = 0; index < m_folderLamps.size(); ++index) {
        const ProtectedFolder folder = ProtectedFolders::all[index];
        ReadoutLamp lamp = ReadoutLamp::off;
        if (m_model.askingFolder() == folder)
            lamp = ReadoutLamp::working;
        else if (answers.contains(folder))
            lamp =
                answers.value(folder) == FolderAccessAnswer::denied ? ReadoutLamp::waiting : ReadoutLamp::ok;
        m_folderLamps.at(index)->setMode(lamp);
    }
    const bool asking = m_model.askingFolder().has_value();
    const bool settled = m_model.facts().folderAccessSettled;
    m_asking->setVisible(asking);
    m_deniedHelp->setVisible(!asking && std::ranges::any_of(answers, [](FolderAccessAnswer answer) {
        return answer == FolderAccessAnswer::denied;
    }));
    m_notNow->setVisible(!asking && !settled);
    m_continue->setVisible(!asking);
    m_continue->setStyle({outcome && !settled ? KeyStyle::Variant::hot : KeyStyle::Variant::chassis, false});
}

AgentStep::AgentStep(WelcomeViewModel& model, QWidget* parent)
    : StepScreen(model, parent)
    , m_choices(new QWidget)
    , m_signIn(new Key(u"Sign in with ChatGPT"_s, {KeyStyle::Variant::hot, false}))
    , m_showKeys(new Key(u"Use an API key instead"_s))
    , m_keys(new ChassisPanel(u"api keys"_s))
    , m_challenge(new QWidget)
    , m_userCode(glowing(34))
    , m_address(label({}, FieldUnitText::monospaced(14, 0), FU::dText, false)) {
    addHeading(m_silk, m_title, m_lede);
    auto* choices = row(10);
    m_choices->setLayout(choices);
    choices->addWidget(m_signIn);
    choices->addWidget(m_showKeys);
    choices->addStretch();
    layout()->addWidget(m_choices);

    auto* keys = static_cast<ChassisPanel*>(m_keys);
    for (const auto& [placeholder, claude] :
         {std::pair{u"OpenAI API key"_s, false}, {u"Anthropic API key"_s, true}}) {
        auto* field = new QLineEdit;
        field->setEchoMode(QLineEdit::Password);
        field->setPlaceholderText(placeholder);
        field->setAccessibleName(placeholder);
        auto* save = new Key(u"Save"_s, {KeyStyle::Variant::chassis, true});
        auto* line = row(10);
        line->addWidget(field, 1);
        line->addWidget(save);
        keys->content()->addLayout(line);
        m_keyFields.append({field, save});
        connect(field, &QLineEdit::textChanged, this, &AgentStep::sync);
        connect(save, &QAbstractButton::clicked, this, [this, field, isClaude = claude] {
            if (isClaude) // as typed, surrounding spaces and all
                m_model.saveClaudeKey(field->text());
            else
                m_model.saveCodexKey(field->text());
        });
    }
    keys->content()->addWidget(small(u"Keys are checked with the provider, then stay on this computer."_s));
    layout()->addWidget(m_keys);

    auto* glass = new GlassPanel;
    glass->content()->addWidget(new Silk(u"YOUR CODE"_s, FU::dDim));
    auto* codeRow = row(10);
    codeRow->addWidget(m_userCode);
    codeRow->addStretch();
    auto* copy = new Key(u"Copy"_s, {KeyStyle::Variant::dark, true});
    codeRow->addWidget(copy, 0, Qt::AlignVCenter);
    glass->content()->addLayout(codeRow);
    m_address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    glass->content()->addWidget(m_address);
    auto* open = new Key(u"Open in Browser"_s, {KeyStyle::Variant::dark, true});
    glass->content()->addWidget(open, 0, Qt::AlignLeft);
    auto* waiting = row(8);
    waiting->addWidget(new Lamp(ReadoutLamp::working, 8), 0, Qt::AlignVCenter);
    waiting->addWidget(new Silk(u"Waiting for you to finish signing in…"_s, FU::silk));
    waiting->addStretch();
    auto* cancel = new Key(u"Cancel"_s);
    waiting->addWidget(cancel);
    auto* challenge = new QVBoxLayout(m_challenge);
    challenge->setContentsMargins(0, 0, 0, 0);
    challenge->setSpacing(12);
    challenge->addWidget(glass);
    challenge->addLayout(waiting);
    layout()->addWidget(m_challenge);
    static_cast<QVBoxLayout*>(layout())->addStretch();

    m_keys->hide();
    connect(m_signIn, &QAbstractButton::clicked, this, [this] { m_model.startCodexLogin(); });
    connect(m_showKeys, &QAbstractButton::clicked, this, [this] {
        m_keys->setVisible(!m_keys->isVisibleTo(this));
        sync();
    });
    connect(copy, &QAbstractButton::clicked, this, [this] {
        if (const auto& shown = m_model.challenge())
            QGuiApplication::clipboard()->setText(shown->userCode);
    });
    connect(open, &QAbstractButton::clicked, this, [this] {
        if (const auto& shown = m_model.challenge())
            if (const QUrl address(shown->verificationUrl, QUrl::StrictMode); address.isValid())
                QDesktopServices::openUrl(address);
    });
    connect(cancel, &QAbstractButton::clicked, this, [this] { m_model.cancelCodexLogin(); });
}

void AgentStep::sync() {
    const auto& challenge = m_model.challenge();
    m_silk->setText(stepSilk(u"sign in"_s));
    m_title->setText(WelcomeWords::agentTitle.toString());
    m_lede->setText(challenge ? u"Open this link on any device and enter the code:"_s
                              : u"The easiest path: sign in with the ChatGPT account you already pay for."_s);
    m_challenge->setVisible(challenge.has_value());
    m_choices->setVisible(!challenge);
    if (challenge) {
        m_keys->hide();
        m_userCode->setText(challenge->userCode);
        m_address->setText(challenge->verificationUrl);
    }
    m_signIn->setEnabled(!m_model.busy());
    m_showKeys->setText(m_keys->isVisibleTo(this) ? u"Hide API keys"_s : u"Use an API key instead"_s);
    for (const auto& [field, save] : std::as_const(m_keyFields)) {
        field->setEnabled(!m_model.busy());
        // Spaces and tabs alone are not a key.
        const bool blank =
            field->text().trimmed().isEmpty() ||
            std::ranges::all_of(field->text(), [](QChar c) { return c == u' ' || c == u'\t'; });
        save->setEnabled(!m_model.busy() && !blank);
    }
}

// Leaving the step forgets what was typed, and hides the keys again.
void AgentStep::hideEvent(QHideEvent* event) {
    for (const auto& [field, save] : std::as_const(m_keyFields))
        field->clear();
    m_keys->hide();
    StepScreen::hideEvent(event);
}

PhoneStep::PhoneStep(WelcomeViewModel& model, ServerViewModel& server, QWidget* parent)
    : StepScreen(model, parent)
    , m_server(server)
    , m_connected(new QWidget)
    , m_connectedText(label({}, FieldUnitText::text(16, QFont::Medium), FU::ink))
    , m_dial(new QWidget)
    , m_address(label({}, FieldUnitText::monospaced(20, 0), FU::dText, false))
    , m_alternate(label({}, FieldUnitText::monospaced(12, 0), FU::dDim, false))
    , m_codeCaption(new Silk({}, FU::dDim))
    , m_code(glowing(34))
    , m_newCode(new Key({}, {KeyStyle::Variant::dark, true}))
    , m_noAddress(small(u"This computer isn't on a network right now. Connect it to wi-fi and try again."_s))
    , m_homeNetwork(new ChassisPanel(u"home network"_s))
    , m_turningOn(lampNote(new Lamp(ReadoutLamp::working, 8), new Silk(u"Turning it on…"_s, FU::silk)))
    , m_reach(new Key(u"Let my phone reach this computer"_s, {KeyStyle::Variant::hot, false}))
    , m_waiting(
          lampNote(new Lamp(ReadoutLamp::working, 8), new Silk(u"Waiting for your phone…"_s, FU::silk))) {
    addHeading(m_silk, m_title, m_lede);
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
    m_address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    addressRow->addWidget(m_address, 1);
    auto* copy = new Key(u"Copy"_s, {KeyStyle::Variant::dark, true});
    addressRow->addWidget(copy, 0, Qt::AlignVCenter);
    glass->content()->addLayout(addressRow);
    m_alternate->setTextInteractionFlags(Qt::TextSelectableByMouse);
    glass->content()->addWidget(m_alternate);
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
    m_silk->setText(stepSilk(u"your phone"_s));
    m_title->setText(WelcomeWords::phoneTitle.toString());
    m_lede->setText(u"In the Kestrin app on your phone, type this address and code."_s);
    m_lede->setVisible(!paired);
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
    m_waiting->setVisible(!paired);
    if (dial) {
        m_address->setText(dial->primary);
        m_alternate->setText(dial->alternates.isEmpty() ? QString() : u"or "_s + dial->alternates.first());
        m_alternate->setVisible(!dial->alternates.isEmpty());
    }
    const CodeReadout code{m_model.pairingCode(), m_model.now()};
    const auto live = code.liveCode();
    m_codeCaption->setText(live ? u"CODE · GOOD FOR "_s + live->countdown(m_model.now()) : u"CODE"_s);
    m_code->setVisible(live.has_value());
    m_code->setText(live ? live->code : QString());
    m_newCode->setText(live ? u"New code"_s : u"Show a pairing code"_s);
    m_newCode->setStyle({live ? KeyStyle::Variant::dark : KeyStyle::Variant::hot, true});
}

DoneStep::DoneStep(WelcomeViewModel& model, PreviewsSwitchViewModel* previews, QWidget* parent)
    : StepScreen(model, parent)
    , m_silk(new Silk({}, FU::silk))
    , m_lamp(new Lamp(ReadoutLamp::live, 12))
    , m_headline(label({}, FieldUnitText::display(u"Black"_s, 32, 3), FU::dText, false))
    , m_title(label({}, FieldUnitText::text(22, QFont::DemiBold), FU::ink))
    , m_lede(label(WelcomeFinishWords::readyLede.toString(), FieldUnitText::text(16), FU::ink))
    , m_tools(new QWidget)
    , m_toolsLamp(new Lamp(ReadoutLamp::working, 8))
    , m_toolsNote(small())
    , m_install(new Key({}))
    , m_whileInstalling(small(WelcomeFinishWords::whileInstalling.toString()))
    , m_skipped(new QWidget)
    , m_skippedNote(small())
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
    layout()->addWidget(small(WelcomeWords::glassesLater.toString()));
    layout()->addWidget(
        small(u"Kestrin lives in your system tray — the eyeglasses icon. The server runs whenever "
              u"this app does."_s));
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

void DoneStep::sync() {
    const WelcomeFinishState state = WelcomeFinish::state(m_model.facts(), m_model.toolsStage());
    m_silk->setText(WelcomeFinishWords::silk(state).toString());
    m_lamp->setMode(state == WelcomeFinishState::ready         ? ReadoutLamp::live
                    : state == WelcomeFinishState::almostReady ? ReadoutLamp::working
                                                               : ReadoutLamp::waiting);
    m_headline->setText(WelcomeFinishWords::headline(state).toString());
    FieldUnitText::setColour(*m_headline, state == WelcomeFinishState::notReady ? FU::dText : FU::live);
    m_title->setText(WelcomeFinishWords::title(state).toString());
    m_lede->setVisible(state == WelcomeFinishState::ready);
    const DeveloperToolsStage stage = m_model.toolsStage();
    const auto toolsNote = WelcomeFinishWords::tools(stage);
    m_tools->setVisible(toolsNote.has_value());
    m_toolsNote->setText(toolsNote.value_or(QStringView()).toString());
    const bool working = stage == DeveloperToolsStage::checking || stage == DeveloperToolsStage::installing;
    m_toolsLamp->setMode(working ? ReadoutLamp::working : ReadoutLamp::waiting);
    m_install->setVisible(!working);
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
