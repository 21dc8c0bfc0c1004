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

Outcome run(PreviewsSwitchViewModel& previews, const QByteArray& command) {
    const QByteArray words = command.simplified();
    if (words == "previews") {
        previews.refresh();
        return {true, false, {}};
    }
    if (words == "previews about")
        return {true, false, explanation(LivePreviewsWords::label)};
    if (words == "previews off") {
        previews.choose(false);
        return {true, false, {}};
    }
    if (words == "previews on") {
        previews.choose(true);
        if (!previews.asking())
            return {true, false, {}};
        return {true, true, explanation(LivePreviewsWords::consentTitle)};
    }
    return {};
}

void answerConsent(PreviewsSwitchViewModel& previews, const QByteArray& answer) {
    if (answer.trimmed().toLower() == "yes")
        previews.turnOnAfterReading();
    else
        previews.decline();
}

} // namespace corvane::TerminalPreviews
