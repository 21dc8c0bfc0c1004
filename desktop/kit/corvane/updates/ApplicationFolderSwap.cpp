#include "ApplicationFolderSwap.h"

#include <corvane/support/RemovePath.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

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

QString ApplicationFolderSwap::stagingFolder() const {
    const QFileInfo folder(m_applicationFolder);
    return folder.absolutePath() + u"/."_s + folder.fileName() + u"-update"_s;
}

QString ApplicationFolderSwap::previousFolder() const {
    const QFileInfo folder(m_applicationFolder);
    return folder.absolutePath() + u"/."_s + folder.fileName() + u"-previous"_s;
}

std::expected<void, QString> ApplicationFolderSwap::swapIn(const QString& newFolder) const {
    const auto swapped = [&]() -> std::expected<void, QString> {
        if (!QFileInfo(newFolder).isDir())
            return std::unexpected(u"The new copy at %1 is gone."_s.arg(newFolder));
        removePath(previousFolder());
        if (auto aside = rename(m_applicationFolder, previousFolder()); !aside)
            return aside;
        if (auto in = rename(newFolder, m_applicationFolder); !in) {
            // Put the old copy back; had that failed too, it would still be whole under the other name.
            (void)rename(previousFolder(), m_applicationFolder);
            return in;
        }
        return {};
    }();
    removePath(stagingFolder());
    return swapped;
}

void ApplicationFolderSwap::tidy() const {
    removePath(stagingFolder());
    if (QFileInfo(m_applicationFolder).isDir())
        removePath(previousFolder());
}

} // namespace corvane
