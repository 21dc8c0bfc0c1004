#include "LogView.h"

#include <corvane/ServerLogModel.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/FocusRingArea.h>
#include <corvane/controls/GlassPanel.h>
#include <corvane/controls/Key.h>

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>

namespace corvane::logs {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qreal cornerRadius = 6;

} // namespace

LogView::LogView(ServerLogModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_search(new QLineEdit)
    , m_text(new FocusRingArea<QPlainTextEdit>(cornerRadius)) // the keyboard reaches it, to scroll and select
    , m_where(FieldUnitText::sentence({}, FieldUnitText::text(12), FU::silk)) {
    setFixedSize(fixedSize);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);

    auto* tools = new QHBoxLayout;
    tools->setSpacing(10);
    m_search->setPlaceholderText(u"Search the log"_s);
    m_search->setAccessibleName(u"Search the log"_s);
    m_search->setClearButtonEnabled(true);
    m_search->setFont(FieldUnitText::text(14));
    tools->addWidget(m_search, 1);
    auto* copy = new Key(u"Copy All"_s, {KeyStyle::Variant::chassis, true});
    auto* openFolder = new Key(u"Open Folder"_s, {KeyStyle::Variant::chassis, true});
    tools->addWidget(copy);
    tools->addWidget(openFolder);
    column->addLayout(tools);

    // The log's words are outside text: shown as plain text, never as markup, and only read.
    auto* glass = new GlassPanel(10);
    m_text->setReadOnly(true);
    m_text->setUndoRedoEnabled(false);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn); // where in the log the view is, always
    m_text->setMaximumBlockCount(static_cast<int>(model.limit()));
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->setFont(FieldUnitText::monospaced(12, 0));
    m_text->setAccessibleName(u"Server log"_s);
    // Thin scroll bars of the glass's own colours, so that the place in a long log shows.
    m_text->setStyleSheet(
        u"QPlainTextEdit { background: transparent; color: %1; selection-background-color: %2; }"
        u"QScrollBar { background: transparent; width: 8px; height: 8px; }"
        u"QScrollBar::handle { background: %3; border-radius: 4px; min-height: 24px; min-width: 24px; }"
        u"QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }"
        u"QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }"_s.arg(
            FU::dText.name(), FU::live.name(), FU::dDim.name()));
    m_text->viewport()->setAutoFillBackground(false);
    glass->content()->addWidget(m_text);
    column->addWidget(glass, 1);
    m_where->setTextFormat(Qt::PlainText);
    column->addWidget(m_where);

    connect(&m_model, &ServerLogModel::reset, this, &LogView::showAll);
    connect(&m_model, &ServerLogModel::added, this, &LogView::showAdded);
    connect(m_search, &QLineEdit::textChanged, this, &LogView::markMatches);
    connect(copy, &QAbstractButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(m_model.allText()); });
    connect(openFolder, &QAbstractButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(m_model.folder())); });
    sayWhere();
}

void LogView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!std::exchange(m_open, true))
        m_model.open();
}

void LogView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (std::exchange(m_open, false))
        m_model.close();
}

void LogView::showAll() {
    m_text->setPlainText(m_model.lines().join(u'\n'));
    m_text->verticalScrollBar()->setValue(m_text->verticalScrollBar()->maximum());
    markMatches(); // and says where, with the count
}

// The view follows the end only while the person is there; anywhere else, it stays put.
void LogView::showAdded(const QStringList& lines) {
    QScrollBar* scroll = m_text->verticalScrollBar();
    const bool atEnd = scroll->value() == scroll->maximum();
    const int kept = scroll->value();
    for (const QString& line : lines)
        m_text->appendPlainText(line);
    scroll->setValue(atEnd ? scroll->maximum() : kept);
    markMatches();
}

void LogView::markMatches() {
    QList<QTextEdit::ExtraSelection> marks;
    const QString query = m_search->text();
    if (!query.isEmpty()) {
        QTextCharFormat mark;
        mark.setBackground(FU::live);
        mark.setForeground(FU::ink);
        for (QTextCursor found = m_text->document()->find(query); !found.isNull();
             found = m_text->document()->find(query, found))
            marks.append({found, mark});
    }
    m_text->setExtraSelections(marks);
    sayWhere();
}

void LogView::sayWhere() {
    if (!m_model.hasRead()) {
        m_where->setText(u"Reading %1…"_s.arg(m_model.path()));
        return;
    }
    if (m_model.isMissing()) {
        m_where->setText(u"There is no server log at %1 yet."_s.arg(m_model.path()));
        return;
    }
    const qsizetype lines = m_model.lines().size();
    QString where =
        u"%1 · the last %2 %3"_s.arg(m_model.path()).arg(lines).arg(lines == 1 ? u"line"_s : u"lines"_s);
    if (!m_search->text().isEmpty()) {
        const qsizetype matching = m_model.linesMatching(m_search->text()).size();
        where += u" · %1 with “%2”"_s.arg(matching).arg(m_search->text());
    }
    m_where->setText(where);
}

} // namespace corvane::logs
