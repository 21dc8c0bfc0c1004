#pragma once

#include <QString>

#include <optional>
#include <variant>

namespace corvane {

// Why the glasses app is being put on the glasses.
struct InstallBecause {
    // The installed app is older than the one shipped.
    struct NewerAvailable {
        std::optional<QString> from;
        QString to;
        bool operator==(const NewerAvailable&) const = default;
    };
    struct NotInstalled {
        bool operator==(const NotInstalled&) const = default;
    };
    // It is there, but not its own installer of record, so it cannot update itself.
    struct CannotUpdateItself {
        bool operator==(const CannotUpdateItself&) const = default;
    };

    std::variant<NotInstalled, CannotUpdateItself, NewerAvailable> value;
    bool operator==(const InstallBecause&) const = default;
};

// How a setup ended.
struct GlassesSetupResult {
    struct Installed {
        QString version;
        bool operator==(const Installed&) const = default;
    };
    struct InstalledWithoutSilentUpdates {
        QString version;
        bool operator==(const InstalledWithoutSilentUpdates&) const = default;
    };
    struct AlreadySetUp {
        std::optional<QString> version;
        bool operator==(const AlreadySetUp&) const = default;
    };
    struct InstalledButCannotReach {
        QString version;
        QString reason;
        QString whatToDo;
        bool operator==(const InstalledButCannotReach&) const = default;
    };

    std::variant<Installed, InstalledWithoutSilentUpdates, AlreadySetUp, InstalledButCannotReach> value;
    bool operator==(const GlassesSetupResult&) const = default;
};

// Where the glasses setup is, with the words the window shows for it.
struct GlassesSetupStage {
    struct Idle {
        bool operator==(const Idle&) const = default;
    };
    struct Checking {
        bool operator==(const Checking&) const = default;
    };
    struct AskingToFetchTool {
        bool operator==(const AskingToFetchTool&) const = default;
    };
    struct FetchingTool {
        bool operator==(const FetchingTool&) const = default;
    };
    struct Blocked {
        QString reason;
        QString whatToDo;
        bool operator==(const Blocked&) const = default;
    };
    struct Installing {
        InstallBecause because;
        bool operator==(const Installing&) const = default;
    };
    struct Connecting {
        bool wifiOff = false;
        bool operator==(const Connecting&) const = default;
    };
    struct Finished {
        GlassesSetupResult result;
        bool operator==(const Finished&) const = default;
    };
    struct Stopped {
        QString message;
        bool operator==(const Stopped&) const = default;
    };
    struct Failed {
        QString message;
        bool operator==(const Failed&) const = default;
    };

    std::variant<Idle, Checking, AskingToFetchTool, FetchingTool, Blocked, Installing, Connecting, Finished,
                 Stopped, Failed>
        value;
    bool operator==(const GlassesSetupStage&) const = default;

    // Work is under way: the button waits.
    bool isBusy() const;
    // The window offers "Try again".
    bool offersRetry() const;
    QString headline() const;
    std::optional<QString> detail() const;
};

// The words of a setup that installed the app but cannot reach the glasses.
namespace GlassesSetupWords {
inline constexpr QStringView didNotConnect = u"Your glasses didn't connect to this computer.";
inline constexpr QStringView checkTheirWifi =
    u"Check that they're on the same wi-fi as this computer and that Kestrin "
    u"is open on them, then press Try again.";
inline constexpr QStringView notOnWifi = u"Your glasses aren't on wi-fi.";
inline constexpr QStringView wakeThemUp =
    u"Wake them up and make sure their wi-fi is on and joined to the same "
    u"network as this computer, then press Try again.";
inline constexpr QStringView turnedDown =
    u"Your glasses turned the app down. Try again, and if it keeps happening tell us what the glasses show.";
// A quit that came while the helper downloaded: nothing was done to the glasses.
inline constexpr QStringView stoppedForQuit =
    u"Kestrin is quitting, so the setup stopped before it touched your glasses.";
} // namespace GlassesSetupWords

} // namespace corvane
