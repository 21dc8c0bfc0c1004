#include "GlassesInstaller.h"

#include <corvane/glasses/GlassesReader.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

QString GlassesInstallError::plainDescription() const {
    switch (kind) {
    case Kind::sessionRefused:
    case Kind::noSessionId:
        return u"Your glasses wouldn't accept the app. They may be low on space — free some up and try again."_s;
    case Kind::writeFailed:
        return u"The app didn't copy across properly. Check the cable is firmly in, then try again."_s;
    case Kind::refused:
        break;
    }
    if (output.contains(u"SIGNATURE"_s) || output.contains(u"signatures"_s))
        return u"There's already a different version of Kestrin on your glasses that didn't come from us. "
               u"Remove "
               u"it from the glasses first, then try again."_s;
    return u"Your glasses turned the app down. Try again, and if it keeps happening tell us what the glasses "
           u"show."_s;
}

QCoro::Task<std::expected<void, GlassesInstallFailure>> GlassesInstaller::commitSession(qint64 apkSize) {
    using Failure = std::unexpected<GlassesInstallFailure>;
    const auto adb = m_adb;
    const QString app = GlassesApp::packageName.toString();
    // Each command line is made apart from its co_await: GCC 12 miscompiles a braced list inside one.
    const QStringList create{u"shell"_s, u"pm"_s, u"install-create"_s,     u"-r"_s, u"-i"_s,
                             app,        u"-S"_s, QString::number(apkSize)};
    const auto created = co_await adb->run(create);
    if (!created)
        co_return Failure(AdbRunFailure{created.error()});
    if (created->exitCode != 0)
        co_return Failure(GlassesInstallError{GlassesInstallError::Kind::sessionRefused, created->output});
    const std::optional<QString> session = GlassesReader::sessionId(created->output);
    if (!session)
        co_return Failure(GlassesInstallError{GlassesInstallError::Kind::noSessionId, created->output});

    const QStringList write{u"shell"_s, u"pm"_s,   u"install-write"_s,
                            *session,   u"base"_s, stagedPath.toString()};
    const auto written = co_await adb->run(write);
    if (!written)
        co_return Failure(AdbRunFailure{written.error()});
    if (written->exitCode != 0)
        co_return Failure(GlassesInstallError{GlassesInstallError::Kind::writeFailed, written->output});

    const QStringList commit{u"shell"_s, u"pm"_s, u"install-commit"_s, *session};
    const auto committed = co_await adb->run(commit);
    if (!committed)
        co_return Failure(AdbRunFailure{committed.error()});
    if (committed->exitCode != 0 || !GlassesReader::commitSucceeded(committed->output))
        co_return Failure(GlassesInstallError{GlassesInstallError::Kind::refused, committed->output});
    co_return std::expected<void, GlassesInstallFailure>{};
}

QCoro::Task<bool> GlassesInstaller::isOwnedByUs() {
    const auto adb = m_adb;
    const QStringList query{u"shell"_s,    u"pm"_s, u"list"_s,
                            u"packages"_s, u"-i"_s, GlassesApp::packageName.toString()};
    const auto listed = co_await adb->run(query);
    if (!listed)
        co_return false;
    const std::optional<InstalledGlassesApp> installed = GlassesReader::installed(listed->output);
    co_return installed && installed->updatesSilently();
}

QCoro::Task<> GlassesInstaller::cleanUp() {
    const auto adb = m_adb;
    const QStringList remove{u"shell"_s, u"rm"_s, u"-f"_s, stagedPath.toString()};
    co_await adb->run(remove);
}

QCoro::Task<std::expected<GlassesInstallOutcome, GlassesInstallFailure>>
GlassesInstaller::install(QString apkPath, qint64 apkSize) {
    using Failure = std::unexpected<GlassesInstallFailure>;
    const auto adb = m_adb;
    // A failed copy shows in the session's steps.
    const QStringList push{u"push"_s, apkPath, stagedPath.toString()};
    co_await adb->run(push);
    for (int session = 1; session <= 2; ++session) {
        const std::expected<void, GlassesInstallFailure> committed = co_await commitSession(apkSize);
        if (!committed) {
            co_await cleanUp();
            co_return Failure(committed.error());
        }
        const bool owned = co_await isOwnedByUs();
        if (owned || session == 2) {
            co_await cleanUp();
            co_return owned ? GlassesInstallOutcome::installed
                            : GlassesInstallOutcome::installedWithoutSilentUpdates;
        }
    }
    Q_UNREACHABLE();
}

} // namespace corvane
