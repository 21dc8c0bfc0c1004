#pragma once

#include <corvane/shell/Environment.h>

#include <QString>
#include <QStringList>

#include <expected>
#include <functional>
#include <optional>
#include <variant>

namespace corvane {

// Where adb was found: on disk (perhaps our own downloaded copy), or nowhere, so it must be fetched.
struct AdbSource {
    struct OnDisk {
        QString path;
        bool isOurs = false;
        bool operator==(const OnDisk&) const = default;
    };
    struct MustFetch {
        bool operator==(const MustFetch&) const = default;
    };

    std::variant<MustFetch, OnDisk> value = MustFetch{};
    std::optional<QString> path() const;
    std::optional<bool> isOurs() const;
    bool operator==(const AdbSource&) const = default;
};

// Finds an adb that is already on the computer, our own copy first.
struct AdbLocator {
    // Whether an executable file is at the path; the file system's answer unless a test says otherwise.
    std::function<bool(const QString&)> exists = isExecutableFile;
    // Where the person keeps the Android SDK (ANDROID_HOME, ANDROID_SDK_ROOT) and searches for programs
    // (PATH).
    Environment environment;
    // The search path of the person's login shell (":"-separated), which their terminal sees and a
    // desktop session often does not: where an SDK installed from a shell profile puts adb.
    QString loginShellPath;

    static bool isExecutableFile(const QString& path);
    // Our own copy; the SDK the environment names; Android Studio's two places; Debian's SDK; the search
    // path; the login shell's search path; then the usual system places. Each once, in that order.
    QStringList candidates(const QString& home, const QString& applicationSupport) const;
    static QString managedPath(const QString& applicationSupport);
    // Removes our own copy's folder; nothing to do when there is none. The system's reason when it
    // could not.
    static std::expected<void, QString> removeManaged(const QString& applicationSupport);

    AdbSource locate(const QString& home, const QString& applicationSupport) const;
};

} // namespace corvane
