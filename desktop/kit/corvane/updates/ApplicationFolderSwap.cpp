#include "ApplicationFolderSwap.h"

#include <corvane/support/RemovePath.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

// Inside each staging folder: held by the run that made it.
constexpr QStringView lockName = u".owner.lock";

// One rename(2): QDir::rename would fall back to copying across file systems, which is no swap.
std::expected<void, QString> rename(const QString& from, const QString& to) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return {};
    return std::unexpected(
        u"Could not move %1 to %2: %3."_s.arg(from, to, QString::fromLocal8Bit(std::strerror(errno))));
}

} // namespace

ApplicationFolderSwap::ApplicationFolderSwap(QString applicationFolder)
    : m_applicationFolder(QDir::cleanPath(QFileInfo(applicationFolder).absoluteFilePath())) {}

ApplicationFolderSwap::~ApplicationFolderSwap() = default;

QString ApplicationFolderSwap::stagingPrefix() const {
    const QFileInfo folder(m_applicationFolder);
    return folder.absolutePath() + u"/."_s + folder.fileName() + u"-update"_s;
}

QString ApplicationFolderSwap::previousFolder() const {
    const QFileInfo folder(m_applicationFolder);
    return folder.absolutePath() + u"/."_s + folder.fileName() + u"-previous"_s;
}

std::expected<QString, QString> ApplicationFolderSwap::beginStaging() {
    endStaging();
    // mkdtemp underneath: a new name, made by this call alone, that only this user may enter.
    QTemporaryDir made(stagingPrefix() + u"-XXXXXX"_s);
    if (!made.isValid())
        return std::unexpected(
            u"Could not make a staging folder beside %1: %2."_s.arg(m_applicationFolder, made.errorString()));
    made.setAutoRemove(false);
    auto lock = std::make_unique<QLockFile>(made.filePath(lockName.toString()));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        removePath(made.path());
        return std::unexpected(u"Could not lock the staging folder %1."_s.arg(made.path()));
    }
    m_staging = made.path();
    m_stagingLock = std::move(lock);
    return m_staging;
}

void ApplicationFolderSwap::endStaging() {
    if (m_staging.isEmpty())
        return;
    m_stagingLock.reset(); // unlocked and its file removed
    removePath(std::exchange(m_staging, QString()));
}

std::expected<void, QString> ApplicationFolderSwap::swapIn(const QString& newFolder) {
    const auto swapped = [&]() -> std::expected<void, QString> {
        if (!QFileInfo(newFolder).isDir())
            return std::unexpected(u"The new copy at %1 is gone."_s.arg(newFolder));
        removePath(previousFolder());
        // Whatever stands there now is not this user's to remove (another account made it).
        if (QFileInfo(previousFolder()).exists() || QFileInfo(previousFolder()).isSymLink())
            return std::unexpected(u"%1 is in the way and could not be removed; it may belong to another "
                                   u"account."_s.arg(previousFolder()));
        if (auto aside = rename(m_applicationFolder, previousFolder()); !aside)
            return aside;
        if (auto in = rename(newFolder, m_applicationFolder); !in) {
            // Put the old copy back; had that failed too, it would still be whole under the other name.
            (void)rename(previousFolder(), m_applicationFolder);
            return in;
        }
        return {};
    }();
    endStaging();
    return swapped;
}

void ApplicationFolderSwap::tidy() const {
    const QFileInfo folder(m_applicationFolder);
    const QString prefix = u"."_s + folder.fileName() + u"-update"_s;
    const QDir parent = folder.absoluteDir();
    // The one staging folder of earlier versions, and each run's own whose run has ended: a live run's
    // lock is held, a finished one's is not (or is left by a process that is gone).
    for (const QString& name : parent.entryList({prefix, prefix + u"-*"_s}, QDir::Dirs | QDir::Hidden)) {
        const QString staging = parent.filePath(name);
        if (staging == m_staging)
            continue;
        QLockFile owner(staging + u'/' + lockName.toString());
        owner.setStaleLockTime(0);
        if (name == prefix || owner.tryLock(0)) {
            owner.unlock();
            removePath(staging);
        }
    }
    if (folder.isDir())
        removePath(previousFolder());
}

} // namespace corvane
