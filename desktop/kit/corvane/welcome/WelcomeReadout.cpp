#include "WelcomeReadout.h"

#include <QTextBoundaryFinder>

namespace corvane::WelcomeReadout {

using namespace Qt::Literals::StringLiterals;

namespace {

const QString none = u"—"_s;

ReadoutRow toolsRow(DeveloperToolsStage stage) {
    const QString name = u"DEV TOOLS"_s;
    switch (stage) {
    case DeveloperToolsStage::checking:
        return {name, u"CHECKING"_s, ReadoutLamp::off};
    case DeveloperToolsStage::ready:
        return {name, u"READY"_s, ReadoutLamp::ok};
    case DeveloperToolsStage::missing:
        return {name, u"MISSING"_s, ReadoutLamp::waiting};
    case DeveloperToolsStage::installing:
        return {name, u"INSTALLING"_s, ReadoutLamp::working};
    case DeveloperToolsStage::installerClosed:
        break;
    }
    return {name, u"NOT YET"_s, ReadoutLamp::waiting};
}

ReadoutRow voiceRow(const std::optional<VoiceStatus>& voice) {
    const QString name = u"VOICE"_s;
    if (!voice)
        return {name, none, ReadoutLamp::off};
    switch (voice->state) {
    case VoiceStatus::State::downloading:
        if (voice->loadedMB && voice->totalMB)
            return {name, u"%1/%2MB"_s.arg(*voice->loadedMB).arg(*voice->totalMB), ReadoutLamp::working};
        return {name, u"DOWNLOADING"_s, ReadoutLamp::working};
    case VoiceStatus::State::preparing:
        return {name, u"PREPARING"_s, ReadoutLamp::working};
    case VoiceStatus::State::ready:
        return {name, u"READY"_s, ReadoutLamp::ok};
    case VoiceStatus::State::failed:
        return {name, u"PROBLEM"_s, ReadoutLamp::waiting};
    case VoiceStatus::State::off:
    case VoiceStatus::State::unknown:
        break;
    }
    return {name, none, ReadoutLamp::off};
}

// The text after the last "/", trailing slashes ignored; the root is "/" itself.
QString lastComponent(const QString& path) {
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(u'/'))
        trimmed.chop(1);
    return trimmed == u"/"_s ? trimmed : trimmed.mid(trimmed.lastIndexOf(u'/') + 1);
}

ReadoutRow folderRow(const std::optional<QString>& path, bool chosen, bool isCurrent) {
    const QString name = u"FOLDER"_s;
    const ReadoutLamp settled = isCurrent ? ReadoutLamp::live : ReadoutLamp::ok;
    if (path && !path->isEmpty())
        return {name, shortened(lastComponent(*path)), settled};
    if (chosen)
        return {name, u"SET"_s, settled};
    return isCurrent ? ReadoutRow{name, u"CHOOSE"_s, ReadoutLamp::live}
                     : ReadoutRow{name, none, ReadoutLamp::off};
}

ReadoutRow agentRow(const std::optional<AgentsSnapshot>& agents, bool isCurrent) {
    const QString name = u"AI"_s;
    const bool claude = agents && agents->claude.authenticated;
    const bool codex = agents && agents->codex.authenticated;
    if (claude && codex)
        return {name, u"BOTH"_s, ReadoutLamp::ok};
    if (codex)
        return {name, u"CHATGPT"_s, ReadoutLamp::ok};
    if (claude)
        return {name, u"CLAUDE"_s, ReadoutLamp::ok};
    return isCurrent ? ReadoutRow{name, u"SIGN IN"_s, ReadoutLamp::live}
                     : ReadoutRow{name, none, ReadoutLamp::off};
}

ReadoutRow phoneRow(const std::optional<QString>& phoneName, bool isCurrent) {
    const QString name = u"PHONE"_s;
    if (phoneName && !phoneName->isEmpty())
        return {name, shortened(*phoneName), ReadoutLamp::ok};
    return isCurrent ? ReadoutRow{name, u"WAITING"_s, ReadoutLamp::live}
                     : ReadoutRow{name, none, ReadoutLamp::off};
}

} // namespace

QString shortened(const QString& text) {
    const QString upper = text.toUpper(); // Unicode's own mapping, the same in every locale
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, upper);
    qsizetype count = 0;
    qsizetype tenth = -1; // where the tenth character ends
    while (characters.toNextBoundary() != -1) {
        ++count;
        if (count == maxValueLength - 1)
            tenth = characters.position();
    }
    return count > maxValueLength ? upper.left(tenth) + u"…"_s : upper;
}

QList<ReadoutRow> rows(WelcomeStep step, DeveloperToolsStage tools, const std::optional<VoiceStatus>& voice,
                       const std::optional<QString>& folderPath, bool folderChosen,
                       const std::optional<AgentsSnapshot>& agents, const std::optional<QString>& phoneName,
                       bool glassesPaired) {
    return {
        toolsRow(tools),
        voiceRow(voice),
        folderRow(folderPath, folderChosen, step == WelcomeStep::folder),
        agentRow(agents, step == WelcomeStep::agent),
        phoneRow(phoneName, step == WelcomeStep::phone),
        glassesPaired ? ReadoutRow{u"GLASSES"_s, u"READY"_s, ReadoutLamp::ok}
                      : ReadoutRow{u"GLASSES"_s, u"LATER"_s, ReadoutLamp::off},
    };
}

} // namespace corvane::WelcomeReadout
