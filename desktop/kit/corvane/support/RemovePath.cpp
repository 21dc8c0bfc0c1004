#include "RemovePath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace corvane {

void removePath(const QString& path) {
    const QFileInfo target(path);
    if (target.isDir() && !target.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

} // namespace corvane
