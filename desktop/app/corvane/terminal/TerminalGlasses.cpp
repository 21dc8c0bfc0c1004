#include "TerminalGlasses.h"

#include <corvane/glasses/AdbDownload.h>

namespace corvane::TerminalGlasses {

using namespace Qt::Literals::StringLiterals;

QStringList lines(const GlassesViewModel& glasses) {
    const GlassesReadout readout = glasses.readout();
    if (const auto& problem = glasses.packagingProblem())
        return {u"Glasses · "_s + readout.word, *problem};
    const GlassesSetupStage& stage = glasses.stage();
    QStringList lines{u"Glasses · "_s + readout.word + u" · "_s + stage.headline()};
    if (const auto detail = stage.detail())
        lines.append(*detail);
    if (std::holds_alternative<GlassesSetupStage::AskingToFetchTool>(stage.value))
        lines.append(AdbDownload::licenseLinkLabel.toString() + u": "_s + AdbDownload::licenseUrl.toString());
    if (const auto& problem = glasses.removalProblem())
        lines.append(*problem);
    return lines;
}

std::optional<TerminalOutcome::Question> fetchQuestion(GlassesViewModel& glasses) {
    if (!std::holds_alternative<GlassesSetupStage::AskingToFetchTool>(glasses.stage().value))
        return std::nullopt;
    return TerminalOutcome::Question{
        u"Type yes and Enter to get it from Google; anything else is Not now: "_s,
        [model = &glasses](bool yes) {
            if (yes)
                model->confirmFetch();
            else
                model->declineFetch();
        }};
}

TerminalOutcome run(GlassesViewModel& glasses, const QByteArray& command) {
    const QByteArray words = command.simplified();
    if (words == "glasses")
        return {.known = true, .question = fetchQuestion(glasses)};
    if (words == "glasses setup") {
        if (!glasses.canBegin())
            return {.known = true,
                    .problem = glasses.packagingProblem().value_or(u"The setup is already under way."_s)};
        glasses.begin();
        return {.known = true, .question = fetchQuestion(glasses)};
    }
    if (words == "glasses done") {
        glasses.reset();
        return {.known = true};
    }
    if (words == "glasses remove") {
        if (!glasses.offersRemoval())
            return {.known = true, .problem = u"There is no helper of Kestrin's own to remove right now."_s};
        glasses.removeHelper();
        return {.known = true};
    }
    return {};
}

} // namespace corvane::TerminalGlasses
