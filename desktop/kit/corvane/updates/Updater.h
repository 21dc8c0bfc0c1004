#pragma once

#include <corvane/updates/Appcast.h>
#include <corvane/updates/UpdateAlert.h>

#include <QObject>
#include <qcorotask.h>

#include <expected>
#include <optional>

namespace corvane {

// What the person chose about an offered update (the numbers are those of the common updater's codes).
enum class UpdateChoice { skip = 0, install = 1, dismiss = 2 };
// How far the update had come when the person chose.
enum class UpdateChoiceStage { notDownloaded = 0, downloaded = 1, installing = 2 };

// Keeps a copy of Kestrin current: checks a feed, offers what is newer, fetches and checks it, and
// puts it in place when the application quits. It reports each step of a session through its signals;
// its alert is what a face shows the person, and the person's answers come back through `answer`.
class Updater : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Begins checking: now, and then at the updater's own interval.
    virtual void startUpdater() = 0;
    virtual bool canCheckForUpdates() const = 0;
    // A check the person asked for; with a session under way, its alert is shown again instead.
    virtual void checkForUpdates() = 0;
    // What to show the person now; none when nothing is to be shown.
    virtual std::optional<UpdateAlert> alert() const = 0;
    // The person's answer to the alert shown; answers the alert does not offer are ignored.
    virtual void answer(UpdateAnswer answer) = 0;
    // The application is quitting: no new checks, and transfers under way stop.
    virtual void windDown() = 0;
    // Ends once nothing of the updater's work is under way.
    virtual QCoro::Task<> settled() = 0;
    // At the last moment of a quit, puts a waiting update in place of this copy. Answers the update
    // installed, none when nothing waited, or why it could not be installed (this copy then stays).
    virtual std::expected<std::optional<AppcastItem>, QString> installOnQuit() = 0;

Q_SIGNALS:
    void canCheckForUpdatesChanged(bool canCheck);
    void alertChanged();
    // An update is downloaded, checked and unpacked; it installs when the application quits.
    void willInstallUpdateOnQuit(const corvane::AppcastItem& item);
    void userDidMakeChoice(corvane::UpdateChoice choice, corvane::UpdateChoiceStage stage);
    void didAbortWithError(const QString& why);
    // An alert about an update is about to be shown; `userInitiated` when the person asked for it.
    void willShowUpdate(bool userInitiated);
    void willFinishUpdateSession();
    // The person asked to quit now so that the waiting update installs.
    void quitRequested();
};

} // namespace corvane
