#include "TrayProgram.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace corvane::TrayProgram {

std::string replaceThisProcess(char* argv[]) {
    // The link to this process's own file, not argv[0]: that may be a bare name found through PATH, or a
    // link such as /usr/bin/kestrin into the application folder.
    std::string self(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", self.data(), self.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= self.size())
        return length <= 0 ? std::strerror(errno) : "its path is too long";
    self.resize(static_cast<std::size_t>(length));
    const std::string program = self.substr(0, self.rfind('/') + 1) + fileName;
    ::execv(program.c_str(), argv);
    return std::strerror(errno);
}

QString launcherPath(const QString& applicationFilePath) {
    const QFileInfo file(applicationFilePath);
    return file.fileName() == QLatin1StringView(fileName)
               ? file.dir().filePath(QLatin1StringView(launcherFileName))
               : applicationFilePath;
}

} // namespace corvane::TrayProgram
