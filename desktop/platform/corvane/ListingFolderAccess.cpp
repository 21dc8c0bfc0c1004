#include "ListingFolderAccess.h"

#include <QFile>
#include <QtConcurrent/QtConcurrentRun>
#include <qcorofuture.h>

#include <cerrno>
#include <dirent.h>
#include <memory>

namespace corvane {

ListingFolderAccess::ListingFolderAccess(QString home)
    : m_home(std::move(home)) {}

std::optional<int> ListingFolderAccess::listingError(const QString& path) {
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(QFile::encodeName(path).constData()),
                                                     &::closedir);
    if (!folder)
        return errno;
    errno = 0;
    while (::readdir(folder.get())) {
    }
    return errno != 0 ? std::optional(errno) : std::nullopt;
}

QCoro::Task<FolderAccessAnswer> ListingFolderAccess::ask(ProtectedFolder folder) {
    const QString path = ProtectedFolders::path(folder, m_home);
    // A plain function, as in the developer tools' check: no capturing lambda inside a coroutine.
    co_return FolderAccess::answer(co_await QtConcurrent::run(&ListingFolderAccess::listingError, path));
}

} // namespace corvane
