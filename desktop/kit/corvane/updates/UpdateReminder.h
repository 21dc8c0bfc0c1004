#pragma once

namespace corvane {

// What the update key reminds the person of: an update that installs at the next quit, or an alert
// the updater showed by itself. Nothing of it outlives the run.
struct UpdateReminder {
    bool installWaits = false;
    bool alertShown = false;

    bool isLit() const { return installWaits || alertShown; }

    void updateWillInstallOnQuit() { installWaits = true; }
    void alertWillShow(bool userInitiated) {
        if (!userInitiated)
            alertShown = true;
    }
    void personAnswered(bool installStillWaits) { installWaits = installStillWaits; }
    void sessionFinished() { alertShown = false; }
    void sessionFailed() { *this = {}; }

    bool operator==(const UpdateReminder&) const = default;
};

} // namespace corvane
