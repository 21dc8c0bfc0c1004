#include "PrivateFolder.h"

#include <corvane/support/UniqueFd.h>

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

constexpr mode_t othersWrite = S_IWGRP | S_IWOTH;

bool isOwnFolder(const struct stat& facts) {
    return S_ISDIR(facts.st_mode) && facts.st_uid == ::geteuid();
}

} // namespace

bool othersMayWriteIn(const QString& folder) {
    struct stat facts {};
    return ::stat(QFile::encodeName(folder).constData(), &facts) != 0 || (facts.st_mode & othersWrite) != 0;
}

bool isPrivateFolder(const QString& folder) {
    struct stat facts {};
    return ::lstat(QFile::encodeName(folder).constData(), &facts) == 0 && isOwnFolder(facts) &&
           (facts.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

bool makePrivateFolder(const QString& folder) {
    QDir().mkpath(folder);
    // Narrowed through a descriptor opened without following links, so a link put in the folder's
    // place between the check and the change cannot turn the change onto what it leads to.
    const UniqueFd opened(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW));
    struct stat facts {};
    return opened.isValid() && ::fstat(opened.get(), &facts) == 0 && isOwnFolder(facts) &&
           ::fchmod(opened.get(), S_IRWXU) == 0 && isPrivateFolder(folder);
}

} // namespace corvane
