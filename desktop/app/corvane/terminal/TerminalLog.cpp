#include "TerminalLog.h"

#include <corvane/ServerLogModel.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

TerminalLog::TerminalLog(ServerLogModel& model, std::function<void(const QString&)> print, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_print(std::move(print)) {
    connect(&m_model, &ServerLogModel::reset, this, [this] {
        if (std::exchange(m_showOnRead, false) || m_following)
            printLast();
        release();
    });
    connect(&m_model, &ServerLogModel::added, this, [this](const QStringList& lines) {
        if (m_following)
            printAdded(lines);
    });
}

TerminalLog::~TerminalLog() {
    if (m_open)
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
        release();
        return {.known = true, .text = u"Stopped following the server's log.\n"_s};
    }
    if (!what.isEmpty() && what != "follow")
        return {.known = false};
    if (what == "follow") {
        if (m_following)
            return {.known = true, .problem = u"The server's log is followed already."_s};
        m_following = true;
    }
    if (m_open && m_model.hasRead()) {
        printLast(); // read already: at once
    } else {
        m_showOnRead = true;
        if (!std::exchange(m_open, true))
            m_model.open();
    }
    return {.known = true};
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
    for (const QString& line : last)
        text += u"  "_s + line + u'\n';
    if (m_following)
        text += u"New lines follow as they are written; type log stop to stop.\n"_s;
    m_print(text);
}

void TerminalLog::printAdded(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += u"  "_s + line + u'\n';
    m_print(text);
}

// Closed once neither a pending `log` nor `log follow` needs it.
void TerminalLog::release() {
    if (m_open && !m_following && !m_showOnRead) {
        m_open = false;
        m_model.close();
    }
}

} // namespace corvane
