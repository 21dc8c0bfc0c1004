#include "TerminalUpdates.h"

#include <array>
#include <utility>

namespace corvane::TerminalUpdates {

using namespace Qt::Literals::StringLiterals;

namespace {

// The word typed after "update" for each answer.
constexpr std::array<std::pair<UpdateAnswer, std::string_view>, 7> answerWords{{
    {UpdateAnswer::installOnQuit, "install"},
    {UpdateAnswer::skipThisVersion, "skip"},
    {UpdateAnswer::remindMeLater, "later"},
    {UpdateAnswer::cancel, "cancel"},
    {UpdateAnswer::later, "later"},
    {UpdateAnswer::quitAndInstall, "quit"},
    {UpdateAnswer::ok, "ok"},
}};

QString wordFor(UpdateAnswer answer) {
    for (const auto& [known, word] : answerWords)
        if (known == answer)
            return QString::fromLatin1(word.data(), qsizetype(word.size()));
    return {};
}

} // namespace

QStringList lines(const UpdatesModel& updates) {
    const UpdateKey key = updates.key();
    QStringList lines{u"Updates: "_s + key.title +
                      (key.smallPrint ? u" ("_s + *key.smallPrint + u')' : QString())};
    const std::optional<UpdateAlert> alert = updates.alert();
    if (!alert)
        return lines;
    // A download's progress in tenths: a terminal that is not one prints every change as a new block.
    const std::optional<double> progress = alert->progress();
    lines << QString() << alert->headline()
          << (progress ? u"%1 % received"_s.arg(int(*progress * 10) * 10) : alert->detail());
    if (const QString notes = alert->releaseNotes(); !notes.isEmpty())
        for (const QString& line : notes.split(u'\n'))
            lines.append(u"  "_s + line);
    QStringList answers;
    for (const UpdateAlertKey& offered : alert->keys())
        answers.append(u"update %1 (%2)"_s.arg(wordFor(offered.answer), offered.title));
    if (!answers.isEmpty())
        lines.append(u"Type "_s + answers.join(u", "_s) + u'.');
    return lines;
}

TerminalOutcome run(UpdatesModel& updates, const QByteArray& command) {
    const QList<QByteArray> words = command.simplified().split(' ');
    if (words.value(0) != "update" || words.size() > 2)
        return {};
    if (words.size() == 1) {
        if (updates.heldBack())
            return {.known = true, .problem = UpdateWords::sharedFolder.toString()};
        if (updates.settings().packaged)
            return {.known = true,
                    .problem = u"Your system’s package manager keeps this copy of Kestrin up to date."_s};
        if (!updates.settings().updatesItself)
            return {.known = true, .problem = u"This copy of Kestrin doesn’t update itself."_s};
        if (!updates.key().enabled)
            return {.known = true, .problem = u"Kestrin can’t check for updates now."_s};
        updates.check();
        return {.known = true};
    }
    const std::optional<UpdateAlert> alert = updates.alert();
    if (!alert)
        return {.known = true, .problem = u"No update is shown to answer."_s};
    for (const UpdateAlertKey& offered : alert->keys())
        if (wordFor(offered.answer).toUtf8() == words[1]) {
            updates.answer(offered.answer);
            return {.known = true};
        }
    return {.known = true,
            .problem = u"The update shown doesn’t take “%1”."_s.arg(QString::fromUtf8(words[1]).left(20))};
}

} // namespace corvane::TerminalUpdates
