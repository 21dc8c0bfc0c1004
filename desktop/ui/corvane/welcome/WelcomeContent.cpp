#include "WelcomeContent.h"

#include "AgentStep.h"
#include "DoneStep.h"
#include "FolderStep.h"
#include "PhoneStep.h"
#include "ToolsStep.h"

#include <corvane/welcome/WelcomeFinish.h>

#include <corvane/WelcomeViewModel.h>
#include <corvane/controls/Cell.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitAccessibility.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/GlassPanel.h>
#include <corvane/controls/GlassRule.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/Lamp.h>
#include <corvane/controls/Silk.h>

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace corvane::welcome {

using namespace Qt::Literals::StringLiterals;

// The six readout rows on the glass, headed SETUP.
class ReadoutColumn : public GlassPanel {
public:
    ReadoutColumn()
        : GlassPanel(18) {
        setFixedWidth(264);
        auto* heading = new QLabel(u"SETUP"_s);
        heading->setTextFormat(Qt::PlainText);
        heading->setFont(FieldUnitText::display(u"Black"_s, 32, 3));
        FieldUnitText::setColour(*heading, FU::dText);
        content()->addWidget(heading);
        content()->addWidget(new Silk(u"THIS COMPUTER"_s, FU::dDim));
        content()->addSpacing(8);
        for (int index = 0; index < 6; ++index) {
            if (index > 0)
                content()->addWidget(new GlassRule);
            auto* line = new QWidget;
            auto* row = new QHBoxLayout(line);
            row->setContentsMargins(0, 4, 0, 4);
            auto* name = new QLabel;
            name->setTextFormat(Qt::PlainText);
            name->setFont(FieldUnitText::monospaced(12, 1));
            FieldUnitText::setColour(*name, FU::dDim);
            auto* value = new QLabel;
            value->setTextFormat(Qt::PlainText);
            value->setFont(FieldUnitText::display(u"Bold"_s, 14, 1.2));
            FieldUnitText::setColour(*value, FU::dText);
            auto* lamp = new Lamp(ReadoutLamp::off, 8);
            row->addWidget(name);
            row->addStretch();
            row->addWidget(value);
            row->addWidget(lamp);
            content()->addWidget(line);
            m_rows.append({line, name, value, lamp});
        }
        content()->addStretch();
    }

    void show(const QList<ReadoutRow>& rows) {
        for (qsizetype index = 0; index < m_rows.size() && index < rows.size(); ++index) {
            const Row& row = m_rows.at(index);
            row.name->setText(rows.at(index).name);
            row.value->setText(rows.at(index).value);
            row.lamp->setMode(rows.at(index).lamp);
            row.line->setAccessibleName(rows.at(index).name + u": "_s + rows.at(index).value);
        }
    }

private:
    struct Row {
        QWidget* line;
        QLabel* name;
        QLabel* value;
        Lamp* lamp;
    };
    QList<Row> m_rows;
};

WelcomeContent::WelcomeContent(WelcomeViewModel& model, ServerViewModel& server,
                               PreviewsSwitchViewModel* previews, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_stepCell(new Cell({}, 14, this))
    , m_readout(new ReadoutColumn)
    , m_serverLine(new QWidget)
    , m_steps(new QStackedWidget)
    , m_errorLamp(new Lamp(ReadoutLamp::waiting, 8))
    , m_error(new QLabel)
    , m_skip(new Key(u"Skip for now"_s)) {
    setFixedSize(fixedSize);
    m_stepCell->hide();                    // until the window puts it in its top bar's corner
    m_error->setTextFormat(Qt::PlainText); // a server's words
    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(20, 4, 20, 20);
    columns->setSpacing(24);
    columns->addWidget(m_readout, 0, Qt::AlignTop);

    auto* right = new QVBoxLayout;
    right->setSpacing(12);
    auto* serverLine = new QHBoxLayout(m_serverLine);
    serverLine->setContentsMargins(0, 0, 0, 0);
    serverLine->addWidget(new Lamp(ReadoutLamp::working, 8), 0, Qt::AlignVCenter);
    serverLine->addWidget(new Silk(u"Starting the server on this computer…"_s, FU::silk));
    serverLine->addStretch();
    right->addWidget(m_serverLine);

    m_done = new DoneStep(model, previews);
    m_screens = {new ToolsStep(model), new FolderStep(model), new AgentStep(model),
                 new PhoneStep(model, server), m_done};
    for (StepScreen* screen : std::as_const(m_screens))
        m_steps->addWidget(screen);
    right->addWidget(m_steps, 1);

    auto* footer = new QHBoxLayout;
    m_error->setWordWrap(true);
    m_error->setFont(FieldUnitText::text(13));
    FieldUnitText::setColour(*m_error, FU::ink);
    footer->addWidget(m_errorLamp, 0, Qt::AlignVCenter);
    footer->addWidget(m_error, 1);
    footer->addStretch();
    footer->addWidget(m_skip);
    right->addLayout(footer);
    columns->addLayout(right, 1);

    connect(m_skip, &QAbstractButton::clicked, this, [this] { m_model.skip(); });
    connect(m_done, &DoneStep::finished, this, &WelcomeContent::finished);
    connect(&m_model, &WelcomeViewModel::changed, this, &WelcomeContent::sync);
    sync();
}

void WelcomeContent::setTrayCheck(std::function<bool()> trayShown) {
    m_done->setTrayCheck(std::move(trayShown));
}

void WelcomeContent::sync() {
    const WelcomeStep step = m_model.step();
    if (const auto progress = WelcomeFlow::progressLabel(step, m_model.showsToolsStep())) {
        m_stepCell->setText(progress->toUpper().replace(u" OF "_s, u"/"_s));
        m_stepCell->setAccessibleName(*progress);
    } else {
        m_stepCell->setText(
            WelcomeFinishWords::corner(WelcomeFinish::state(m_model.facts(), m_model.toolsStage()))
                .toString());
    }
    m_readout->show(m_model.readout());
    m_serverLine->setVisible(!m_model.serverReady());
    StepScreen* screen = m_screens.at(static_cast<qsizetype>(step));
    screen->sync();
    m_steps->setCurrentWidget(screen);
    m_errorLamp->setVisible(m_model.actionError().has_value());
    m_error->setVisible(m_model.actionError().has_value());
    const QString error = m_model.actionError().value_or(QString());
    if (error != m_error->text()) {
        m_error->setText(error);
        if (!error.isEmpty()) // a failed sign-in, say, while the focus is on the field
            FieldUnitAccessibility::announce(*m_error);
    }
    m_skip->setVisible(step != WelcomeStep::done);
}

void WelcomeContent::keyPressEvent(QKeyEvent* event) {
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    auto* screen = static_cast<StepScreen*>(m_steps->currentWidget());
    if (Key* key = isReturn ? screen->returnKey() : nullptr; key && key->isVisible() && key->isEnabled()) {
        key->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void WelcomeContent::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_model.start();
}

void WelcomeContent::hideEvent(QHideEvent* event) {
    m_model.stop();
    QWidget::hideEvent(event);
}

} // namespace corvane::welcome
