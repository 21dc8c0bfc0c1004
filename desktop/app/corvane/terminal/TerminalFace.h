#pragma once

#include <corvane/ScreenModels.h>
#include <corvane/ServerViewModel.h>
#include <corvane/terminal/TerminalLog.h>
#include <corvane/terminal/TerminalOutcome.h>
#include <corvane/terminal/TerminalWelcome.h>

#include <QObject>
#include <QStringList>

#include <cstdio>
#include <memory>
#include <optional>

class QSocketNotifier;

namespace corvane {

// What the menu would show, as lines of text: the headline with its sentence and detail, the voice and
// keep-awake lines and, while the server runs, the dialling instructions, the pairing code and the
// network setting. The countdown is apart, since it alone changes every second.
struct TerminalReadout {
    QStringList lines;
    std::optional<QString> countdown;

    static TerminalReadout of(const ServerViewModel& model);
    bool operator==(const TerminalReadout&) const = default;
};

// The application without a graphical session: prints the readout as it changes and takes one-letter
// commands on standard input. On a terminal the countdown is one line updated in place; elsewhere a
// block is printed only when something other than the countdown changes. Until the setup is finished,
// the welcome's readout follows, with word commands for its steps. The agents' modes and the
// live-previews switch, when given their models, show on command and stay until `close`.
class TerminalFace : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype maxCommandLength = 1024;
    static constexpr QStringView commandsHelp = u"Type h and Enter to let your phone reach this computer (or "
                                                u"stop it), n for a new pairing code, r to "
                                                u"read the server's status again, q to quit.";

    TerminalFace(ServerViewModel& model, ScreenModels screens, std::FILE* output, bool outputIsTerminal,
                 int commandInput, QObject* parent = nullptr);
    ~TerminalFace() override;

private:
    void render();
    void readCommands();
    void run(const QByteArray& line);
    void runCommand(const QByteArray& command);
    QStringList readoutLines() const;
    QString helpText() const;
    bool welcomeOpen() const { return m_screens.welcome && !m_screens.welcome->isCompleted(); }
    // A line that answers a question asked on the line before; false when none was asked.
    bool answerAwaited(const QByteArray& line);
    // Says what a screen's command did; keeps it in `afterRead`, if given, when it waits for a read.
    void follow(const TerminalOutcome& outcome, const QByteArray& command, QByteArray* afterRead = nullptr);
    // Gives a command kept for after a read again once the read has `succeeded`; drops it when the
    // read `failed`.
    void resumeAfterRead(QByteArray& afterRead, bool succeeded, bool failed);
    void resumeAgents();
    void resumePreviews();
    // While a key is typed on a terminal, it is not shown.
    void setEcho(bool on);
    // Says `words` and what the commands are, then draws the readout again.
    void answer(const QString& words);
    void write(const QString& text);
    // On a terminal, over the line the cursor is on (a countdown, a prompt).
    void writeOnClearedLine(const QString& text);
    void writeRaw(const QString& text);

    ServerViewModel& m_model;
    ScreenModels m_screens;
    bool m_showsAgents = false;
    bool m_showsPreviews = false;
    bool m_showsGlasses = false;
    QByteArray m_agentsAfterRead;
    QByteArray m_previewsAfterRead;
    std::optional<TerminalWelcome::KeyKind> m_awaitedKey;
    std::optional<TerminalOutcome::Question> m_question;
    std::FILE* m_output;
    bool m_outputIsTerminal;
    QStringList m_printedLines;
    std::optional<QString> m_printedCountdown;
    int m_commandInput;
    QSocketNotifier* m_commands = nullptr;
    QByteArray m_pendingCommand;
    bool m_discardingLine = false; // the rest of an over-long line is still to come
    bool m_renderPending = false;
    std::unique_ptr<TerminalLog> m_log; // when the face is given the log's model
};

} // namespace corvane
