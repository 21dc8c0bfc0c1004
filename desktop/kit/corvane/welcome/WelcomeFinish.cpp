#include "WelcomeFinish.h"

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace WelcomeFinish {

QList<WelcomeStep> skippedSteps(const WelcomeFacts& facts) {
    QList<WelcomeStep> skipped;
    if (!facts.folderChosen)
        skipped.append(WelcomeStep::folder);
    if (!facts.agentSignedIn)
        skipped.append(WelcomeStep::agent);
    if (!facts.phonePaired)
        skipped.append(WelcomeStep::phone);
    return skipped;
}

WelcomeFinishState state(const WelcomeFacts& facts, DeveloperToolsStage tools) {
    if (!skippedSteps(facts).isEmpty())
        return WelcomeFinishState::notReady;
    switch (tools) {
    case DeveloperToolsStage::ready:
        return WelcomeFinishState::ready;
    case DeveloperToolsStage::checking:
    case DeveloperToolsStage::installing:
        return WelcomeFinishState::almostReady;
    case DeveloperToolsStage::missing:
    case DeveloperToolsStage::installerClosed:
        break;
    }
    return WelcomeFinishState::notReady;
}

} // namespace WelcomeFinish

namespace WelcomeFinishWords {

namespace {

struct StateWords {
    QStringView headline;
    QStringView corner;
    QStringView silk;
    QStringView title;
};

StateWords wordsOf(WelcomeFinishState state) {
    switch (state) {
    case WelcomeFinishState::ready:
        return {u"READY", u"DONE", u"all set", u"You're all set"};
    case WelcomeFinishState::almostReady:
        return {u"ALMOST READY", u"FINISH", u"almost there", u"Almost there"};
    case WelcomeFinishState::notReady:
        break;
    }
    return {u"NOT READY YET", u"FINISH", u"not yet", u"Not quite done"};
}

std::optional<QStringView> phraseOf(WelcomeStep step) {
    switch (step) {
    case WelcomeStep::folder:
        return u"choose a project folder";
    case WelcomeStep::agent:
        return u"sign in to an AI";
    case WelcomeStep::phone:
        return u"pair your phone";
    case WelcomeStep::tools:
    case WelcomeStep::done:
        break;
    }
    return std::nullopt;
}

} // namespace

QStringView headline(WelcomeFinishState state) {
    return wordsOf(state).headline;
}
QStringView corner(WelcomeFinishState state) {
    return wordsOf(state).corner;
}
QStringView silk(WelcomeFinishState state) {
    return wordsOf(state).silk;
}
QStringView title(WelcomeFinishState state) {
    return wordsOf(state).title;
}

std::optional<QStringView> tools(DeveloperToolsStage stage) {
    switch (stage) {
    case DeveloperToolsStage::checking:
        return u"Checking for the developer tools…";
    case DeveloperToolsStage::ready:
        return std::nullopt;
    case DeveloperToolsStage::missing:
        return u"The developer tools aren’t installed — the AI needs them to work on your files.";
    case DeveloperToolsStage::installing:
        return u"The developer tools are still installing — it can take a while.";
    case DeveloperToolsStage::installerClosed:
        return u"The installer closed before the tools arrived — the AI needs them to work on your files.";
    }
    return std::nullopt;
}

std::optional<QString> skipped(const QList<WelcomeStep>& steps) {
    QStringList phrases;
    for (const WelcomeStep step : steps)
        if (const auto phrase = phraseOf(step))
            phrases.append(phrase->toString());
    if (phrases.isEmpty())
        return std::nullopt;
    const QString last = phrases.takeLast();
    const QString list = phrases.isEmpty() ? last : phrases.join(u", "_s) + u" and "_s + last;
    return u"Still to do: %1."_s.arg(list);
}

} // namespace WelcomeFinishWords

} // namespace corvane
