#include "TerminalLog.h"

#include <corvane/ServerLogModel.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

TerminalLog::TerminalLog(ServerLogModel& model, std::function<void(const QString&)> print, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_print(std::move(print)) {
    connect(&m_model, &ServerLogModel::reset, this, [this] {
        const bool needed = needsLog();
        if (std::exchange(m_showOnRead, false) || m_following)
            printLast();
        if (needed && !needsLog())
            m_model.close(); // a `log` alone: read once, then let go
    });
    connect(&m_model, &ServerLogModel::added, this, [this](const QStringList& lines) {
        if (m_following)
            printAdded(lines);
    });
}

TerminalLog::~TerminalLog() {
    if (needsLog())
        m_model.close();
}

TerminalOutcome TerminalLog::run(const QByteArray& command) {
    const QList<QByteArray> words = command.simplified().split(' ');
    if (words.value(0) != "log" || words.size() > 2)
        return {};
    const QByteArray what = words.value(1);
    if (what == "stop") {
        if (!m_following)
            return {.known = true, .problem = u"The server's log is not being followed."_s};
        m_following = false;
        if (!needsLog())
            m_model.close();
        return {.known = true, .text = u"Stopped following the server's log.\n"_s};
    }
    if (!what.isEmpty() && what != "follow")
        return {.known = false};
    if (what == "follow" && m_following)
        return {.known = true, .problem = u"The server's log is followed already."_s};
    const bool open = needsLog();
    m_following = m_following || what == "follow";
    if (open && m_model.hasRead()) {
        printLast(); // read already: at once
    } else {
        m_showOnRead = true;
        if (!open)
            m_model.open();
    }
    return {.known = true};
}

// Lines as the terminal shows them, each set in by two spaces.
QString TerminalLog::indented(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += u"  "_s + line + u'\n';
    return text;
}

void TerminalLog::printLast() {
    if (m_model.isMissing()) {
        m_print(u"There is no server log at %1 yet.\n"_s.arg(m_model.path()));
        return;
    }
    const QStringList& lines = m_model.lines();
    const QStringList last = lines.mid(std::max<qsizetype>(0, lines.size() - shownLines));
    QString text = u"The server's log (%1), its last %2 %3:\n"_s.arg(m_model.path())
                       .arg(last.size())
                       .arg(last.size() == 1 ? u"line"_s : u"lines"_s);
    text += indented(last);
    if (m_following)
        text += u"New lines follow as they are written; type log stop to stop.\n"_s;
    m_print(text);
}

void TerminalLog::printAdded(const QStringList& lines) {
    m_print(indented(lines));
}

} // namespace corvane
