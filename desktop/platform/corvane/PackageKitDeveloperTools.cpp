#include "PackageKitDeveloperTools.h"

#include "PackageKitInstall.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>
#include <qcorofuture.h>

#include <unistd.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

// Whether the process whose folder under /proc is `folder` runs `program`, by its name: the kernel keeps
// the first 15 characters of the file's name, which GNOME Software's and KDE Discover's fit in.
bool isNamedAfter(const QString& folder, const QString& program) {
    QFile comm(folder + u"/comm"_s);
    return comm.open(QIODevice::ReadOnly) &&
           comm.readAll().trimmed() == QFileInfo(program).fileName().toLocal8Bit().left(15);
}

// A process that has ended but not yet been waited for by its parent.
bool isZombie(const QString& folder) {
    QFile stat(folder + u"/stat"_s);
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    // The state follows the name in parentheses, which may itself hold blanks or parentheses.
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
}

// Whether a live process of `program` runs for this user. A software centre hands the search to its
// instance already running and exits at once, so the process started for it says nothing.
bool runsForThisUser(const QString& program) {
    const uint user = ::getuid();
    for (const QFileInfo& process : QDir(u"/proc"_s).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isProcess = false;
        process.fileName().toLongLong(&isProcess);
        if (isProcess && process.ownerId() == user && isNamedAfter(process.filePath(), program) &&
            !isZombie(process.filePath()))
            return true;
    }
    return false;
}

} // namespace

std::optional<PackageKitDeveloperTools::SoftwareCentre> PackageKitDeveloperTools::standardSoftwareCentre() {
    const std::pair<QString, QStringList> candidates[] = {
        {u"gnome-software"_s, {u"--search"_s, u"git"_s}},
        {u"plasma-discover"_s, {u"--search"_s, u"git"_s}},
    };
    for (const auto& [name, arguments] : candidates)
        if (const QString program = QStandardPaths::findExecutable(name); !program.isEmpty())
            return SoftwareCentre{program, arguments};
    return std::nullopt;
}

PackageKitDeveloperTools::PackageKitDeveloperTools(QString systemRoot,
                                                   std::optional<SoftwareCentre> softwareCentre,
                                                   QDBusConnection bus)
    : m_systemRoot(std::move(systemRoot))
    , m_softwareCentre(std::move(softwareCentre))
    , m_bus(std::move(bus)) {}

PackageKitDeveloperTools::~PackageKitDeveloperTools() = default;

// The system root plays the developer folder a probe would print, so the rule looks at
// "//usr/bin/git" for the real root.
QCoro::Task<DeveloperToolsStatus> PackageKitDeveloperTools::check() {
    // The work is a plain function, not a capturing lambda made in the co_await: with the lambda,
    // GCC 12 corrupted this coroutine's frame (AddressSanitizer saw it).
    const DeveloperToolsStatus status =
        co_await QtConcurrent::run(&PackageKitDeveloperTools::probe, m_systemRoot);
    QCoro::Task<DeveloperToolsInstaller> finding = findInstaller();
    m_installer = co_await std::move(finding);
    co_return status;
}

DeveloperToolsStatus PackageKitDeveloperTools::probe(const QString& systemRoot) {
    return DeveloperTools::status(0, systemRoot, [](const QString& path) {
        const QFileInfo file(path);
        return file.isFile() && file.isExecutable();
    });
}

// Each task is named before it is awaited: GCC 12 mishandles the lifetimes of calls made inside a
// co_await expression.
QCoro::Task<DeveloperToolsInstaller> PackageKitDeveloperTools::findInstaller() const {
    QCoro::Task<bool> asking = PackageKitInstall::isAvailable(m_bus);
    if (co_await std::move(asking))
        co_return DeveloperToolsInstaller::packageKit;
    co_return m_softwareCentre ? DeveloperToolsInstaller::softwareCentre : DeveloperToolsInstaller::none;
}

// Looked for again, as PackageKit may have come or gone since the last check.
QCoro::Task<> PackageKitDeveloperTools::install() {
    m_packageKitInstall.reset();
    m_softwareCentreStarted = false;
    QCoro::Task<DeveloperToolsInstaller> finding = findInstaller();
    m_installer = co_await std::move(finding);
    switch (m_installer) {
    case DeveloperToolsInstaller::packageKit:
        m_packageKitInstall = std::make_unique<PackageKitInstall>(m_bus, QStringList{u"git"_s});
        break;
    case DeveloperToolsInstaller::softwareCentre: {
        QProcess process;
        process.setProgram(m_softwareCentre->program);
        process.setArguments(m_softwareCentre->arguments);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.setStandardInputFile(QProcess::nullDevice());
        m_softwareCentreStarted = process.startDetached();
        break;
    }
    case DeveloperToolsInstaller::none:
        break;
    }
}

bool PackageKitDeveloperTools::installerRunning() const {
    if (m_packageKitInstall)
        return m_packageKitInstall->isRunning();
    return m_softwareCentreStarted && runsForThisUser(m_softwareCentre->program);
}

} // namespace corvane
