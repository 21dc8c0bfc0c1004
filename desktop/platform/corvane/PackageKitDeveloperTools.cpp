#include "PackageKitDeveloperTools.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>
#include <qcorofuture.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

// The state letter and start time of a process from /proc, or nothing when there is no such process.
std::optional<std::pair<char, QByteArray>> processState(qint64 pid) {
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    // After the name: state is the first field, the start time the twentieth.
    if (fields.size() < 20 || fields.first().isEmpty())
        return std::nullopt;
    return std::pair(fields.first().at(0), fields.at(19));
}

} // namespace

std::optional<PackageKitDeveloperTools::Installer> PackageKitDeveloperTools::standardInstaller() {
    const std::pair<QString, QStringList> candidates[] = {
        {u"pkcon"_s, {u"install"_s, u"-y"_s, u"git"_s}},
        {u"gnome-software"_s, {u"--search"_s, u"git"_s}},
        {u"plasma-discover"_s, {u"--search"_s, u"git"_s}},
    };
    for (const auto& [name, arguments] : candidates)
        if (const QString program = QStandardPaths::findExecutable(name); !program.isEmpty())
            return Installer{program, arguments};
    return std::nullopt;
}

PackageKitDeveloperTools::PackageKitDeveloperTools(QString systemRoot, std::optional<Installer> installer)
    : m_systemRoot(std::move(systemRoot))
    , m_installer(std::move(installer)) {}

// The system root plays the developer folder a probe would print, so the rule looks at
// "//usr/bin/git" for the real root.
QCoro::Task<DeveloperToolsStatus> PackageKitDeveloperTools::check() {
    // The work is a plain function, not a capturing lambda made in the co_await: with the lambda,
    // GCC 12 corrupted this coroutine's frame (AddressSanitizer saw it).
    co_return co_await QtConcurrent::run(&PackageKitDeveloperTools::probe, m_systemRoot);
}

DeveloperToolsStatus PackageKitDeveloperTools::probe(const QString& systemRoot) {
    return DeveloperTools::status(0, systemRoot, [](const QString& path) {
        const QFileInfo file(path);
        return file.isFile() && file.isExecutable();
    });
}

QCoro::Task<> PackageKitDeveloperTools::install() {
    m_install.reset();
    if (!m_installer)
        co_return;
    qint64 pid = 0;
    QProcess process;
    process.setProgram(m_installer->program);
    process.setArguments(m_installer->arguments);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setStandardInputFile(QProcess::nullDevice());
    if (!process.startDetached(&pid))
        co_return;
    if (const auto state = processState(pid))
        m_install = StartedInstall{pid, state->second};
}

bool PackageKitDeveloperTools::installerRunning() const {
    if (!m_install)
        return false;
    const auto state = processState(m_install->pid);
    return state && state->first != 'Z' && state->second == m_install->startTime;
}

} // namespace corvane
