#include "TerminalWelcome.h"

#include <corvane/welcome/DeveloperToolsWords.h>
#include <corvane/welcome/FolderAccessWords.h>
#include <corvane/welcome/WelcomeFinish.h>

namespace corvane::TerminalWelcome {

using namespace Qt::Literals::StringLiterals;

namespace {

QString titleOf(const WelcomeViewModel& welcome) {
    switch (welcome.step()) {
    case WelcomeStep::tools:
        return DeveloperToolsWords::title.toString();
    case WelcomeStep::folder:
        return WelcomeWords::folderTitle.toString();
    case WelcomeStep::agent:
        return WelcomeWords::agentTitle.toString();
    case WelcomeStep::phone:
        return WelcomeWords::phoneTitle.toString();
    case WelcomeStep::done:
        break;
    }
    return WelcomeFinishWords::title(WelcomeFinish::state(welcome.facts(), welcome.toolsStage())).toString();
}

void appendFolderLines(const WelcomeViewModel& welcome, QStringList& lines) {
    if (const auto& outcome = welcome.folderOutcome())
        lines.append(u"Project folder: "_s + outcome->cwd);
    else
        lines.append(u"Type folder and the path of the folder your projects live in."_s);
    if (welcome.askingFolder()) {
        lines.append(FolderAccessWords::askingNote.toString());
        return;
    }
    QStringList answers;
    for (const ProtectedFolder folder : ProtectedFolders::all) {
        const auto answer = welcome.folderAnswers().value(folder);
        answers.append(ProtectedFolders::rawValue(folder).toString() + u' ' +
                       (welcome.folderAnswers().contains(folder) ? FolderAccess::rawValue(answer).toString()
                                                                 : u"not asked"_s));
    }
    lines.append(FolderAccessWords::why.toString());
    lines.append(u"Folders: "_s + answers.join(u", "_s) + u" (allow to check them, decline to leave it)"_s);
    if (std::ranges::any_of(welcome.folderAnswers(),
                            [](FolderAccessAnswer a) { return a == FolderAccessAnswer::denied; }))
        lines.append(FolderAccessWords::deniedHelp.toString());
}

void appendStepLines(const WelcomeViewModel& welcome, QStringList& lines) {
    switch (welcome.step()) {
    case WelcomeStep::tools:
        lines.append(DeveloperToolsWords::status(welcome.toolsStage(), welcome.toolsInstaller()).toString());
        break;
    case WelcomeStep::folder:
        appendFolderLines(welcome, lines);
        break;
    case WelcomeStep::agent:
        if (const auto& challenge = welcome.challenge())
            lines.append(u"Open %1 on any device and enter the code %2 (cancel to stop)."_s.arg(
                challenge->verificationUrl, challenge->userCode));
        else
            lines.append(
                u"Type chatgpt to sign in with your ChatGPT account, or claude or openai to use an API key."_s);
        break;
    case WelcomeStep::phone:
        lines.append(welcome.facts().phonePaired
                         ? u"%1 is connected."_s.arg(welcome.pairedDeviceName().value_or(u"Your phone"_s))
                         : u"In the Kestrin app on your phone, type the address and code above."_s);
        break;
    case WelcomeStep::done: {
        const WelcomeFinishState state = WelcomeFinish::state(welcome.facts(), welcome.toolsStage());
        lines.append(WelcomeFinishWords::headline(state).toString());
        if (const auto tools = WelcomeFinishWords::tools(welcome.toolsStage()))
            lines.append(tools->toString());
        if (const auto skipped = WelcomeFinishWords::skipped(WelcomeFinish::skippedSteps(welcome.facts())))
            lines.append(*skipped + u" (back to go back)"_s);
        lines.append(u"Type finish to end the setup."_s);
        break;
    }
    }
}

QString withHome(const QString& path, const QString& home) {
    if (path == u"~"_s)
        return home;
    return path.startsWith(u"~/"_s) ? home + path.mid(1) : path;
}

} // namespace

QStringList lines(const WelcomeViewModel& welcome) {
    if (welcome.isCompleted())
        return {};
    QStringList lines;
    const std::optional<QString> progress =
        WelcomeFlow::progressLabel(welcome.step(), welcome.showsToolsStep());
    lines.append(u"Setup · "_s + (progress ? *progress + u" · "_s : QString()) + titleOf(welcome));
    if (!welcome.serverReady())
        lines.append(u"Starting the server on this computer…"_s);
    for (const ReadoutRow& row : welcome.readout())
        lines.append(u"  %1 %2"_s.arg(row.name, -10).arg(row.value));
    appendStepLines(welcome, lines);
    if (welcome.actionError())
        lines.append(*welcome.actionError());
    return lines;
}

Outcome run(WelcomeViewModel& welcome, const QByteArray& command, const QString& home) {
    if (welcome.isCompleted())
        return {};
    const QString text = QString::fromUtf8(command);
    const QString word = text.section(u' ', 0, 0);
    const QString rest = text.section(u' ', 1).trimmed();
    if (word == u"folder"_s && !rest.isEmpty())
        welcome.submitFolder(withHome(rest, home));
    else if (word == u"install"_s && rest.isEmpty())
        welcome.installDeveloperTools();
    else if (word == u"allow"_s && rest.isEmpty())
        welcome.allowFolderAccess();
    else if (word == u"decline"_s && rest.isEmpty())
        welcome.declineFolderAccess();
    else if (word == u"chatgpt"_s && rest.isEmpty())
        welcome.startCodexLogin();
    else if (word == u"cancel"_s && rest.isEmpty())
        welcome.cancelCodexLogin();
    else if (word == u"claude"_s && rest.isEmpty())
        return {true, KeyKind::claude};
    else if (word == u"openai"_s && rest.isEmpty())
        return {true, KeyKind::openai};
    else if (word == u"skip"_s && rest.isEmpty())
        welcome.skip();
    else if (word == u"back"_s && rest.isEmpty())
        welcome.goBackToSkipped();
    else if (word == u"finish"_s && rest.isEmpty()) {
        welcome.finish();
        welcome.stop();
    } else
        return {};
    return {true, std::nullopt};
}

void saveKey(WelcomeViewModel& welcome, KeyKind kind, const QString& key) {
    if (key.trimmed().isEmpty())
        return; // nothing typed: nothing to save
    if (kind == KeyKind::claude)
        welcome.saveClaudeKey(key);
    else
        welcome.saveCodexKey(key);
}

} // namespace corvane::TerminalWelcome
