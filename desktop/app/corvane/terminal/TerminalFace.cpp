#include "TerminalFace.h"

#include <corvane/status/CodeReadout.h>
#include <corvane/support/Overloaded.h>

#include <corvane/AppQuit.h>
#include <corvane/terminal/TerminalAgents.h>
#include <corvane/terminal/TerminalGlasses.h>
#include <corvane/terminal/TerminalPreviews.h>
#include <corvane/terminal/TerminalText.h>
#include <corvane/terminal/TerminalUpdates.h>

#include <QDir>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <termios.h>
#include <unistd.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

// Clears the terminal line the cursor is on and goes back to its start.
constexpr QStringView clearLine = u"\r\x1b[2K";

void appendPhoneLines(const ServerViewModel& model, TerminalReadout& readout) {
    if (model.readProblem())
        readout.lines.append(*model.readProblem());
    if (!model.instructions()) {
        readout.lines.append(u"Checking how your phone can reach this computer…"_s);
        return;
    }
    const DialInstructions& instructions = *model.instructions();
    const auto* dial = std::get_if<DialInstructions::Dial>(&instructions.value());
    if (!dial) {
        readout.lines.append(instructions.message());
        return;
    }
    readout.lines.append(
        instructions.message() + u' ' + dial->primary +
        (dial->alternates.isEmpty() ? QString() : u"  (or "_s + dial->alternates.first() + u')'));
    const CodeReadout code{model.pairingCode(), model.now()};
    if (const auto live = code.liveCode()) {
        readout.lines.append(u"Then type this code: "_s + live->code);
        readout.countdown = code.codeTag();
    } else {
        readout.lines.append(u"Then type this code: "_s + code.codeTag());
    }
}

} // namespace

TerminalReadout TerminalReadout::of(const ServerViewModel& model) {
    TerminalReadout readout;
    const MenuStatus status = model.menuStatus();
    readout.lines.append(QStringList{u"Kestrin"_s, status.headline}.join(u' ') +
                         (status.detail.isEmpty() ? QString() : u" · "_s + status.detail.join(u" · "_s)));
    if (status.sentence)
        readout.lines.append(*status.sentence);
    if (model.voice())
        readout.lines.append(u"Voice: "_s + model.voice()->message);
    if (model.keepingAwake())
        readout.lines.append(KeepAwake::menuLine.toString());
    if (model.state().isRunning()) {
        appendPhoneLines(model, readout);
        readout.lines.append(model.isApplyingNetworkChange()
                                 ? u"Restarting the server…"_s
                                 : NetworkPreferences::explanation(model.networkPreference()));
    }
    return readout;
}

TerminalFace::TerminalFace(ServerViewModel& model, ScreenModels screens, std::FILE* output,
                           bool outputIsTerminal, int commandInput, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_screens(screens)
    , m_output(output)
    , m_outputIsTerminal(outputIsTerminal)
    , m_commandInput(commandInput) {
    if (m_screens.log)
        m_log = std::make_unique<TerminalLog>(*m_screens.log, [this](const QString& lines) {
            writeOnClearedLine(lines);
            m_printedCountdown.reset(); // the countdown line was written over: draw it again
        });
    // A burst of changes (a stop clears several readouts) is printed once, when the burst is over.
    const auto renderSoon = [this] {
        if (!std::exchange(m_renderPending, true))
            QTimer::singleShot(0, this, &TerminalFace::render);
    };
    connect(&m_model, &ServerViewModel::changed, this, renderSoon);
    if (m_screens.welcome) {
        connect(m_screens.welcome, &WelcomeViewModel::changed, this, renderSoon);
        if (!m_screens.welcome->isCompleted())
            m_screens.welcome->start(); // the welcome is "on screen" until it is finished
    }
    if (m_screens.approval) {
        connect(m_screens.approval, &ApprovalViewModel::stageChanged, this, renderSoon);
        connect(m_screens.approval, &ApprovalViewModel::stageChanged, this, &TerminalFace::resumeAgents);
    }
    if (m_screens.glasses) {
        connect(m_screens.glasses, &GlassesViewModel::changed, this, renderSoon);
        // A setup that comes to ask (after the helper was found missing) asks here too.
        connect(m_screens.glasses, &GlassesViewModel::changed, this, [this] {
            if (m_question || !m_showsGlasses)
                return;
            if (auto question = TerminalGlasses::fetchQuestion(*m_screens.glasses))
                QTimer::singleShot(0, this, [this, question = std::move(*question)] {
                    if (m_question)
                        return;
                    render();
                    m_question = question;
                    write(question.prompt);
                });
        });
    }
    if (m_screens.previews) {
        connect(m_screens.previews, &PreviewsSwitchViewModel::changed, this, renderSoon);
        connect(m_screens.previews, &PreviewsSwitchViewModel::changed, this, &TerminalFace::resumePreviews);
    }
    if (m_screens.updates) {
        connect(m_screens.updates, &UpdatesModel::changed, this, renderSoon);
        connect(m_screens.updates, &UpdatesModel::alertChanged, this, renderSoon);
    }
    if (m_outputIsTerminal)
        write(helpText());
    if (m_commandInput >= 0) {
        m_commands = new QSocketNotifier(m_commandInput, QSocketNotifier::Read, this);
        connect(m_commands, &QSocketNotifier::activated, this, &TerminalFace::readCommands);
    }
    render();
}

TerminalFace::~TerminalFace() {
    if (m_awaitedKey)
        setEcho(true);
}

QStringList TerminalFace::readoutLines() const {
    QStringList lines = TerminalReadout::of(m_model).lines;
    if (welcomeOpen())
        lines << QString() << TerminalWelcome::lines(*m_screens.welcome);
    if (m_showsAgents)
        lines << QString() << TerminalAgents::lines(*m_screens.approval);
    if (m_showsPreviews)
        lines << QString() << TerminalPreviews::lines(*m_screens.previews);
    if (m_showsGlasses)
        lines << QString() << TerminalGlasses::lines(*m_screens.glasses);
    if (m_screens.updates)
        lines << QString() << TerminalUpdates::lines(*m_screens.updates);
    return lines;
}

QString TerminalFace::helpText() const {
    QStringList help{commandsHelp.toString()};
    if (m_screens.approval)
        help.append(TerminalAgents::commandsHelp.toString());
    if (m_screens.previews)
        help.append(TerminalPreviews::commandsHelp.toString());
    if (m_screens.glasses)
        help.append(TerminalGlasses::commandsHelp.toString());
    if (m_screens.updates)
        help.append(TerminalUpdates::commandsHelp.toString());
    if (m_log)
        help.append(TerminalLog::commandsHelp.toString());
    if (m_showsAgents || m_showsPreviews || m_showsGlasses)
        help.append(u"Type close to hide them again."_s);
    if (welcomeOpen())
        help.append((m_screens.welcome->toolsInstaller() == DeveloperToolsInstaller::none
                         ? TerminalWelcome::commandsHelpWithoutInstall
                         : TerminalWelcome::commandsHelp)
                        .toString());
    return help.join(u'\n') + u'\n';
}

void TerminalFace::render() {
    m_renderPending = false;
    TerminalReadout readout = TerminalReadout::of(m_model);
    readout.lines = readoutLines();
    const bool linesChanged = readout.lines != m_printedLines;
    if (!m_outputIsTerminal) {
        if (linesChanged)
            write(readout.lines.join(u'\n') + u"\n\n"_s);
        m_printedLines = readout.lines;
        return;
    }
    if (!linesChanged && readout.countdown == m_printedCountdown)
        return;
    QString text;
    if (linesChanged)
        text += u'\n' + readout.lines.join(u'\n') + u'\n';
    text += readout.countdown.value_or(QString());
    writeOnClearedLine(text);
    m_printedLines = readout.lines;
    m_printedCountdown = readout.countdown;
}

void TerminalFace::readCommands() {
    char buffer[256];
    const ssize_t count = ::read(m_commandInput, buffer, sizeof buffer);
    if (count < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (count <= 0) {
        // End of input (or an error): stop listening, or the notifier would fire without end.
        m_commands->setEnabled(false);
        return;
    }
    m_pendingCommand.append(buffer, count);
    qsizetype newline = 0;
    while ((newline = m_pendingCommand.indexOf('\n')) >= 0) {
        const QByteArray command = m_pendingCommand.left(newline);
        m_pendingCommand.remove(0, newline + 1);
        if (std::exchange(m_discardingLine, false))
            answer(u"That line is too long to be a command. "_s);
        else
            run(command);
    }
    // A line this long is not a command: none of it runs, up to and including its line feed.
    if (m_pendingCommand.size() > maxCommandLength) {
        m_pendingCommand.clear();
        m_discardingLine = true;
    }
}

bool TerminalFace::answerAwaited(const QByteArray& line) {
    if (const auto kind = std::exchange(m_awaitedKey, std::nullopt)) {
        setEcho(true);
        write(u"\n"_s);
        QByteArray key = line;
        if (key.endsWith('\r'))
            key.chop(1);
        TerminalWelcome::saveKey(*m_screens.welcome, *kind, QString::fromUtf8(key)); // as typed
        return true;
    }
    if (const auto question = std::exchange(m_question, std::nullopt)) {
        question->answer(line.trimmed().toLower() == "yes");
        return true;
    }
    return false;
}

void TerminalFace::run(const QByteArray& line) {
    if (!answerAwaited(line))
        runCommand(line.trimmed());
}

void TerminalFace::runCommand(const QByteArray& command) {
    if (command == "n") {
        m_model.newPairingCode();
    } else if (command == "h") {
        if (!m_model.isApplyingNetworkChange()) // like the switch, which is off while a change applies
            m_model.setNetworkPreference(m_model.networkPreference() == NetworkPreference::homeNetwork
                                             ? NetworkPreference::thisComputerOnly
                                             : NetworkPreference::homeNetwork);
    } else if (command == "r") {
        m_model.refresh(); // what showing the menu does
    } else if (command == "q") {
        AppQuit::request();
    } else if (command == "close" && (m_showsAgents || m_showsPreviews || m_showsGlasses)) {
        m_showsAgents = m_showsPreviews = m_showsGlasses = false;
        render();
    } else if (const TerminalOutcome agents =
                   m_screens.approval ? TerminalAgents::run(*m_screens.approval, command) : TerminalOutcome{};
               agents.known) {
        m_showsAgents = true;
        follow(agents, command, &m_agentsAfterRead);
        resumeAgents(); // the read may have been answered already
    } else if (const TerminalOutcome previews = m_screens.previews
                                                    ? TerminalPreviews::run(*m_screens.previews, command)
                                                    : TerminalOutcome{};
               previews.known) {
        m_showsPreviews = true;
        follow(previews, command, &m_previewsAfterRead);
        resumePreviews();
    } else if (const TerminalOutcome glasses =
                   m_screens.glasses ? TerminalGlasses::run(*m_screens.glasses, command) : TerminalOutcome{};
               glasses.known) {
        m_showsGlasses = true;
        follow(glasses, command);
    } else if (const TerminalOutcome log = m_log ? m_log->run(command) : TerminalOutcome{}; log.known) {
        follow(log, command);
    } else if (const TerminalOutcome updates =
                   m_screens.updates ? TerminalUpdates::run(*m_screens.updates, command) : TerminalOutcome{};
               updates.known) {
        follow(updates, command);
    } else if (const TerminalWelcome::Outcome outcome =
                   welcomeOpen() ? TerminalWelcome::run(*m_screens.welcome, command, QDir::homePath())
                                 : TerminalWelcome::Outcome{};
               outcome.known) {
        if (outcome.awaitsKey) {
            m_awaitedKey = outcome.awaitsKey;
            setEcho(false);
            writeOnClearedLine((*outcome.awaitsKey == TerminalWelcome::KeyKind::claude
                                    ? u"Anthropic API key"_s
                                    : u"OpenAI API key"_s) +
                               u" (not shown), then Enter: "_s);
        }
    } else if (!command.isEmpty()) {
        answer(u"There is no command “%1”. "_s.arg(QString::fromUtf8(command).left(20)));
    }
}

void TerminalFace::follow(const TerminalOutcome& outcome, const QByteArray& command, QByteArray* afterRead) {
    if (!outcome.problem.isEmpty()) {
        answer(outcome.problem + u' ');
        return;
    }
    if (outcome.next == TerminalOutcome::Next::readFirst && afterRead)
        *afterRead = command;
    render();
    if (!outcome.text.isEmpty()) {
        writeOnClearedLine(outcome.text);
        m_printedCountdown.reset();
    }
    if (outcome.question) {
        m_question = outcome.question;
        write(outcome.question->prompt);
    }
}

void TerminalFace::resumeAgents() {
    const auto& stage = m_screens.approval->stage().value;
    resumeAfterRead(m_agentsAfterRead, std::holds_alternative<ApprovalScreenStage::Ready>(stage),
                    std::holds_alternative<ApprovalScreenStage::Unavailable>(stage));
}

void TerminalFace::resumePreviews() {
    const PreviewsSwitchStage& stage = m_screens.previews->stage();
    resumeAfterRead(m_previewsAfterRead, stage.switchIsEnabled(),
                    std::holds_alternative<PreviewsSwitchStage::Unavailable>(stage.value));
}

// Later, not inside the change being announced: the command may start a change of its own.
void TerminalFace::resumeAfterRead(QByteArray& afterRead, bool succeeded, bool failed) {
    if (afterRead.isEmpty())
        return;
    if (failed)
        afterRead.clear(); // the readout says the server is not running
    else if (succeeded)
        QTimer::singleShot(0, this, [this, command = std::exchange(afterRead, {})] { runCommand(command); });
}

void TerminalFace::setEcho(bool on) {
    termios settings{};
    if (m_commandInput < 0 || ::tcgetattr(m_commandInput, &settings) != 0)
        return; // not a terminal: nothing is echoed anyway
    if (on)
        settings.c_lflag |= ECHO;
    else
        settings.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(m_commandInput, TCSANOW, &settings);
}

void TerminalFace::answer(const QString& words) {
    writeOnClearedLine(words + helpText());
    m_printedCountdown.reset(); // the countdown line was cleared: draw it again
    render();
}

// Everything written goes through here: the face's own control sequences are added here alone, and
// the words themselves, which may carry anyone's text, are shown, never obeyed.
void TerminalFace::write(const QString& text) {
    writeRaw(TerminalText::visible(text));
}

void TerminalFace::writeOnClearedLine(const QString& text) {
    writeRaw((m_outputIsTerminal ? clearLine.toString() : QString()) + TerminalText::visible(text));
}

void TerminalFace::writeRaw(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), m_output);
    std::fflush(m_output);
}

} // namespace corvane
