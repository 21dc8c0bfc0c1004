#include "MenuContent.h"

#include "LoginItemPanel.h"
#include "ReadoutGlass.h"
#include "RowKey.h"

#include <corvane/ServerViewModel.h>
#include <corvane/UpdatesModel.h>
#include <corvane/controls/FittedColumn.h>
#include <corvane/controls/Key.h>

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace corvane::menu {

using namespace Qt::Literals::StringLiterals;

MenuContent::MenuContent(ServerViewModel& model, UpdatesModel& updates, QWidget* parent)
    : ChassisGround(parent)
    , m_model(model)
    , m_updates(updates)
    , m_glass(new ReadoutGlass(model))
    , m_update(new RowKey(QString()))
    , m_login(new LoginItemPanel(model))
    , m_start(new Key(u"Start"_s, {KeyStyle::Variant::hot, false}))
    , m_stop(new Key(u"Stop"_s)) {
    setFixedWidth(fixedWidth);
    auto* column = new FittedColumn(this);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(10);
    column->addWidget(m_glass);
    for (const auto& [title, window] : windowRows) {
        auto* row = new RowKey(title.toString());
        connect(row, &QAbstractButton::clicked, this,
                [this, id = window.toString()] { Q_EMIT openWindowRequested(id); });
        column->addWidget(row);
    }
    column->addWidget(m_update);
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
    connect(m_update, &QAbstractButton::clicked, this, [this] { m_updates.check(); });
    connect(&m_model, &ServerViewModel::changed, this, &MenuContent::syncWhileShown);
    connect(&m_updates, &UpdatesModel::changed, this, &MenuContent::syncWhileShown);
}

// Only while the panel is on screen: hidden, it follows nothing, not even the countdown's second.
void MenuContent::syncWhileShown() {
    if (isVisible())
        sync();
}

void MenuContent::sync() {
    m_glass->sync();
    m_login->sync();
    const bool running = m_model.state().isRunning();
    m_start->setEnabled(!running);
    m_start->setStyle({running ? KeyStyle::Variant::chassis : KeyStyle::Variant::hot, false});
    m_stop->setEnabled(running);
    const UpdateKey update = m_updates.key();
    m_update->setText(update.title);
    m_update->setSmallPrint(update.smallPrint.value_or(QString()));
    m_update->setStyle({update.lit ? KeyStyle::Variant::hot : KeyStyle::Variant::chassis, true});
    m_update->setEnabled(update.enabled);
}

// Each time the panel is shown, it shows the model as it is, and everything is read again.
void MenuContent::showEvent(QShowEvent* event) {
    ChassisGround::showEvent(event);
    sync();
    m_model.refresh();
}

} // namespace corvane::menu
