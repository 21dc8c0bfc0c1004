#pragma once

#include <corvane/look/ReadoutLamp.h>
#include <corvane/updates/Appcast.h>

#include <QList>
#include <QString>

#include <variant>

namespace corvane {

// What a person can answer an update alert.
enum class UpdateAnswer { installOnQuit, skipThisVersion, remindMeLater, cancel, later, quitAndInstall, ok };

// One key of an update alert. `hot`: Return presses it; `dismisses`: Escape or closing the window
// presses it.
struct UpdateAlertKey {
    UpdateAnswer answer = UpdateAnswer::ok;
    QString title;
    bool hot = false;
    bool dismisses = false;
    bool operator==(const UpdateAlertKey&) const = default;
};

// What the updater shows the person while an update session has something to say.
struct UpdateAlert {
    // A check the person asked for is under way.
    struct Checking {
        bool operator==(const Checking&) const = default;
    };
    // A newer version is offered.
    struct Offered {
        AppcastItem item;
        QString currentVersion;
        bool operator==(const Offered&) const = default;
    };
    // The offered version's archive is arriving; `total` is -1 while unknown.
    struct Downloading {
        AppcastItem item;
        qint64 received = 0;
        qint64 total = -1;
        bool operator==(const Downloading&) const = default;
    };
    // The archive is whole; its signature is checked and it is unpacked beside this copy.
    struct Preparing {
        AppcastItem item;
        bool operator==(const Preparing&) const = default;
    };
    // The new version waits beside this copy and takes its place at the next quit.
    struct Ready {
        AppcastItem item;
        bool operator==(const Ready&) const = default;
    };
    // A check the person asked for found nothing newer.
    struct UpToDate {
        QString currentVersion;
        bool operator==(const UpToDate&) const = default;
    };
    struct Failed {
        QString message;
        bool operator==(const Failed&) const = default;
    };

    std::variant<Checking, Offered, Downloading, Preparing, Ready, UpToDate, Failed> value = Checking{};
    bool operator==(const UpdateAlert&) const = default;

    // The readout's one word (upper case) and its lamp.
    QString word() const;
    ReadoutLamp lamp() const;
    QString headline() const;
    QString detail() const;
    // The offered version's release notes, as plain text; empty when there are none or nothing is offered.
    QString releaseNotes() const;
    // How far the download has come, from 0 to 1; none when nothing downloads or its size is unknown.
    std::optional<double> progress() const;
    // In the order they stand, left to right.
    QList<UpdateAlertKey> keys() const;
};

namespace UpdateWords {

inline constexpr QStringView feedUnreachable =
    u"Kestrin couldn’t reach its update feed. Check your connection and try again.";
inline constexpr QStringView downloadFailed =
    u"The update couldn’t be downloaded. Check your connection and try again.";
inline constexpr QStringView notSigned =
    u"The downloaded update isn’t the one its publisher signed, so nothing was changed.";
inline constexpr QStringView unpackFailed = u"The update couldn’t be unpacked, so nothing was changed.";
inline constexpr QStringView notKestrin = u"The update isn’t a copy of Kestrin, so nothing was changed.";
inline constexpr QStringView notTheOffered =
    u"The update isn’t the version it was offered as, so nothing was changed.";
inline constexpr QStringView unsafeCopy =
    u"The update holds files Kestrin won’t install, so nothing was changed.";
inline constexpr QStringView sharedFolder =
    u"Kestrin doesn’t update itself here: other accounts can change the folder it’s in.";
// {folder}
inline constexpr QStringView cannotWrite = u"Kestrin can’t write in %1, so it can’t update itself there.";

} // namespace UpdateWords

} // namespace corvane
