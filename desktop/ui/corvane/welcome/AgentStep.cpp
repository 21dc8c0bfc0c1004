#include "AgentStep.h"

#include <corvane/welcome/WelcomeFinish.h>

#include <corvane/WelcomeViewModel.h>
#include <corvane/controls/ChassisPanel.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitAccessibility.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/FittedLine.h>
#include <corvane/controls/GlassPanel.h>
#include <corvane/controls/GlassRule.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/Lamp.h>
#include <corvane/controls/Silk.h>

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QUrl>
#include <QVBoxLayout>

namespace corvane::welcome {

using namespace Qt::Literals::StringLiterals;

AgentStep::AgentStep(WelcomeViewModel& model, QWidget* parent)
    : StepScreen(model, parent)
    , m_choices(new QWidget)
    , m_signIn(new Key(u"Sign in with ChatGPT"_s, {KeyStyle::Variant::hot, false}))
    , m_showKeys(new Key(u"Use an API key instead"_s))
    , m_keys(new ChassisPanel(u"api keys"_s))
    , m_challenge(new QWidget)
    , m_userCode(glowing(34))
    , m_address(label({}, FieldUnitText::monospaced(14, 0), FU::dText, false)) {
    addHeading();
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
        save->setAccessibleName(u"Save "_s + placeholder); // two keys say "save": each says which
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
    keys->content()->addWidget(
        smallNote(u"Keys are checked with the provider, then stay on this computer."_s));
    layout()->addWidget(m_keys);

    auto* glass = new GlassPanel;
    glass->content()->addWidget(new Silk(u"YOUR CODE"_s, FU::dDim));
    auto* codeRow = row(10);
    codeRow->addWidget(m_userCode);
    codeRow->addStretch();
    auto* copy = new Key(u"Copy"_s, {KeyStyle::Variant::dark, true});
    codeRow->addWidget(copy, 0, Qt::AlignVCenter);
    glass->content()->addLayout(codeRow);
    glass->content()->addWidget(new GlassRule);
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
    FieldUnitAccessibility::setExpands(*m_showKeys, false);
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
    m_heading.silk->setText(stepSilk(u"sign in"_s));
    m_heading.title->setText(WelcomeWords::agentTitle.toString());
    m_heading.lede->setText(
        challenge ? u"Open this link on any device and enter the code:"_s
                  : u"The easiest path: sign in with the ChatGPT account you already pay for."_s);
    m_challenge->setVisible(challenge.has_value());
    m_choices->setVisible(!challenge);
    if (challenge) {
        m_keys->hide();
        m_userCode->setLine(challenge->userCode);
        m_address->setText(challenge->verificationUrl);
    }
    m_signIn->setEnabled(!m_model.busy());
    m_showKeys->setText(m_keys->isVisibleTo(this) ? u"Hide API keys"_s : u"Use an API key instead"_s);
    FieldUnitAccessibility::setExpands(*m_showKeys, m_keys->isVisibleTo(this));
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

} // namespace corvane::welcome
