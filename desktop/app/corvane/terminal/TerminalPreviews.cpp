#include "TerminalPreviews.h"

#include <corvane/previews/LivePreviewsWords.h>

namespace corvane::TerminalPreviews {

using namespace Qt::Literals::StringLiterals;

QStringList lines(const PreviewsSwitchViewModel& previews) {
    const PreviewsSwitchStage& stage = previews.stage();
    const bool known = !std::holds_alternative<PreviewsSwitchStage::Loading>(stage.value) &&
                       !std::holds_alternative<PreviewsSwitchStage::Unavailable>(stage.value);
    QStringList lines{LivePreviewsWords::label.toString() + u": "_s +
                          (known ? (stage.switchShowsOn() ? u"on"_s : u"off"_s) : u"not known"_s),
                      LivePreviewsWords::summary.toString()};
    if (const auto status = stage.statusLine())
        lines.append(status->text);
    return lines;
}

QString explanation(QStringView title) {
    QStringList paragraphs{title.toString()};
    for (const QStringView paragraph : LivePreviewsWords::explanation)
        paragraphs.append(u"  "_s + paragraph.toString());
    return paragraphs.join(u'\n') + u'\n';
}

TerminalOutcome run(PreviewsSwitchViewModel& previews, const QByteArray& command) {
    const QByteArray words = command.simplified();
    if (words == "previews") {
        previews.refresh();
        return {.known = true};
    }
    if (words == "previews about")
        return {.known = true, .text = explanation(LivePreviewsWords::label)};
    if (words != "previews on" && words != "previews off")
        return {};
    const PreviewsSwitchStage& stage = previews.stage();
    if (std::holds_alternative<PreviewsSwitchStage::Saving>(stage.value))
        return {.known = true, .problem = TerminalOutcome::stillSaving.toString()};
    if (!stage.switchIsEnabled()) {
        previews.refresh();
        return {.known = true, .next = TerminalOutcome::Next::readFirst};
    }
    const bool on = words == "previews on";
    previews.choose(on);
    if (!on || !previews.asking())
        return {.known = true};
    const auto answer = [model = &previews](bool yes) {
        if (yes)
            model->turnOnAfterReading();
        else
            model->decline();
    };
    return {.known = true,
            .text = explanation(LivePreviewsWords::consentTitle),
            .question = TerminalOutcome::Question{consentPrompt.toString(), answer}};
}

} // namespace corvane::TerminalPreviews
