#include "MenuContent.h"

#include "LoginItemPanel.h"
#include "ReadoutGlass.h"
#include "RowKey.h"

#include <corvane/status/MenuWords.h>

#include <corvane/Key.h>
#include <corvane/ServerViewModel.h>

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace corvane::menu {

using namespace Qt::Literals::StringLiterals;

MenuContent::MenuContent(ServerViewModel& model, QWidget* parent)
    : ChassisGround(parent)
    , m_model(model)
    , m_glass(new ReadoutGlass(model))
    , m_login(new LoginItemPanel(model))
    , m_start(new Key(u"Start"_s, {KeyStyle::Variant::hot, false}))
    , m_stop(new Key(u"Stop"_s)) {
    setFixedWidth(width);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(10);
    column->addWidget(m_glass);
    for (const auto& [title, window] : {std::pair{MenuWords::setUpGlasses, u"glasses"_s},
                                        {MenuWords::agentPermissions, u"approval"_s},
                                        {MenuWords::setupGuide, u"welcome"_s}}) {
        auto* row = new RowKey(title.toString());
        connect(row, &QAbstractButton::clicked, this,
                [this, id = window] { Q_EMIT openWindowRequested(id); });
        column->addWidget(row);
    }
    column->addWidget(m_login);
    auto* keys = new QHBoxLayout;
    keys->setSpacing(10);
    keys->addWidget(m_start);
    keys->addWidget(m_stop);
    keys->addStretch();
    auto* quit = new Key(u"Quit"_s);
    keys->addWidget(quit);
    column->addLayout(keys);

    connect(m_start, &QAbstractButton::clicked, this, [this] { m_model.start(); });
    connect(m_stop, &QAbstractButton::clicked, this, [this] { m_model.supervisor().stop(); });
    connect(quit, &QAbstractButton::clicked, this, &MenuContent::quitRequested);
    connect(&m_model, &ServerViewModel::changed, this, &MenuContent::sync);
}

// Only while the panel is on screen: hidden, it follows nothing, not even the countdown's second.
void MenuContent::sync() {
    if (!isVisible())
        return;
    m_glass->sync();
    m_login->sync();
    const bool running = m_model.state().isRunning();
    m_start->setEnabled(!running);
    m_start->setStyle({running ? KeyStyle::Variant::chassis : KeyStyle::Variant::hot, false});
    m_stop->setEnabled(running);
}

// Each time the panel is shown, it shows the model as it is, and everything is read again.
void MenuContent::showEvent(QShowEvent* event) {
    ChassisGround::showEvent(event);
    sync();
    m_model.refresh();
}

} // namespace corvane::menu
