#pragma once

#include <corvane/terminal/TerminalOutcome.h>

#include <QByteArray>
#include <QObject>

#include <functional>

namespace corvane {

class ServerLogModel;

// The server's log at the terminal: `log` prints its last lines once, `log follow` prints them and
// then every new line as it is written, `log stop` ends that. The log is read only while one of them
// needs it.
class TerminalLog : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype shownLines = 40;
    static constexpr QStringView commandsHelp =
        u"Type log for the server's last lines, log follow to keep printing new ones, log stop to stop.";

    TerminalLog(ServerLogModel& model, std::function<void(const QString&)> print, QObject* parent = nullptr);
    ~TerminalLog() override;

    TerminalOutcome run(const QByteArray& command);

private:
    void printLast();
    void printAdded(const QStringList& lines);
    static QString indented(const QStringList& lines);
    // Whether a `log` waits for its read or `log follow` is on: the log is open exactly then.
    bool needsLog() const { return m_following || m_showOnRead; }

    ServerLogModel& m_model;
    std::function<void(const QString&)> m_print;
    bool m_following = false;
    bool m_showOnRead = false;
};

} // namespace corvane
