#pragma once

#include <corvane/glasses/AdbRunner.h>

#include <QString>
#include <qcorotask.h>

#include <expected>
#include <memory>
#include <variant>

namespace corvane {

enum class GlassesInstallOutcome {
    installed,                     // on the glasses, its own installer of record
    installedWithoutSilentUpdates, // on the glasses, but something else is its installer of record
};

// Why the glasses did not take the app, with what adb printed for the step that failed.
struct GlassesInstallError {
    enum class Kind { sessionRefused, noSessionId, writeFailed, refused };
    Kind kind;
    QString output;

    QString plainDescription() const;
    bool operator==(const GlassesInstallError&) const = default;
};

// adb could not be run at all (why, in the runner's words); passed on for the setup to judge.
struct AdbRunFailure {
    QString reason;
    bool operator==(const AdbRunFailure&) const = default;
};

using GlassesInstallFailure = std::variant<GlassesInstallError, AdbRunFailure>;

// Puts the glasses app onto the glasses through Android's install sessions, naming the app itself as
// its installer of record so that it may update itself. If the glasses then name another installer, the
// session runs once more; the app counts as installed either way. The staged copy on the glasses is
// removed whatever happens.
class GlassesInstaller {
public:
    static constexpr QStringView stagedPath = u"/data/local/tmp/corvane-install.apk";

    explicit GlassesInstaller(std::shared_ptr<AdbRunner> adb)
        : m_adb(std::move(adb)) {}

    QCoro::Task<std::expected<GlassesInstallOutcome, GlassesInstallFailure>> install(QString apkPath,
                                                                                     qint64 apkSize);

private:
    QCoro::Task<std::expected<void, GlassesInstallFailure>> commitSession(qint64 apkSize);
    QCoro::Task<bool> isOwnedByUs();
    QCoro::Task<> cleanUp();

    std::shared_ptr<AdbRunner> m_adb;
};

} // namespace corvane
