#pragma once

// An updater for tests of what stands on one: it reports the events a test names, shows the alert it
// is given and records the answers.

#include <corvane/updates/Updater.h>

#include <QList>

// An updater that only reports what the test tells it to, and counts the model's calls.
class ScriptedUpdater final : public corvane::Updater {
public:
    int starts = 0;
    int checks = 0;
    bool canCheck = false;
    void startUpdater() override {
        ++starts;
        canCheck = true;
        Q_EMIT canCheckForUpdatesChanged(true);
    }
    bool canCheckForUpdates() const override { return canCheck; }
    void checkForUpdates() override { ++checks; }
    std::optional<corvane::UpdateAlert> shown;
    QList<corvane::UpdateAnswer> answers;
    std::optional<corvane::UpdateAlert> alert() const override { return shown; }
    void answer(corvane::UpdateAnswer answer) override { answers.append(answer); }
    void show(std::optional<corvane::UpdateAlert> alert) {
        shown = std::move(alert);
        Q_EMIT alertChanged();
    }
    void windDown() override {}
    QCoro::Task<> settled() override { co_return; }
    std::expected<std::optional<corvane::AppcastItem>, QString> installOnQuit() override {
        return std::nullopt;
    }

    // One updater event by its short name.
    void report(const QString& event) {
        if (event == QStringLiteral("ready"))
            Q_EMIT willInstallUpdateOnQuit(corvane::AppcastItem{.version = QStringLiteral("200"),
                                                                .shortVersion = QStringLiteral("0.2.0")});
        else if (event == QStringLiteral("alert"))
            Q_EMIT willShowUpdate(false);
        else if (event == QStringLiteral("asked"))
            Q_EMIT willShowUpdate(true);
        else if (event == QStringLiteral("finished"))
            Q_EMIT willFinishUpdateSession();
        else if (event == QStringLiteral("failed"))
            Q_EMIT didAbortWithError(QStringLiteral("feed down"));
        else if (event == QStringLiteral("dismissed installing"))
            Q_EMIT userDidMakeChoice(corvane::UpdateChoice::dismiss, corvane::UpdateChoiceStage::installing);
        else if (event == QStringLiteral("dismissed"))
            Q_EMIT userDidMakeChoice(corvane::UpdateChoice::dismiss,
                                     corvane::UpdateChoiceStage::notDownloaded);
        else if (event == QStringLiteral("installed now"))
            Q_EMIT userDidMakeChoice(corvane::UpdateChoice::install, corvane::UpdateChoiceStage::installing);
        else if (event == QStringLiteral("skipped"))
            Q_EMIT userDidMakeChoice(corvane::UpdateChoice::skip, corvane::UpdateChoiceStage::notDownloaded);
        else
            qFatal("no such event");
    }
};
