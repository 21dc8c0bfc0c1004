#pragma once

#include <corvane/welcome/DeveloperToolsService.h>

#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

// The developer tools of this system: git under the system root, installed through PackageKit
// (`pkcon install -y git`) or, where pkcon is absent, the distribution's software centre. The install
// runs on its own, outliving Kestrin if need be: the person asked for it.
class PackageKitDeveloperTools final : public DeveloperToolsService {
public:
    struct Installer {
        QString program;
        QStringList arguments;
        bool operator==(const Installer&) const = default;
    };

    // pkcon, else GNOME Software, else KDE Discover, from PATH; nothing when none is there.
    static std::optional<Installer> standardInstaller();

    explicit PackageKitDeveloperTools(QString systemRoot = QStringLiteral("/"),
                                      std::optional<Installer> installer = standardInstaller());

    QCoro::Task<DeveloperToolsStatus> check() override;
    QCoro::Task<> install() override;
    bool installerRunning() const override;

private:
    static DeveloperToolsStatus probe(const QString& systemRoot);

    // A started install, known by its process id and its start time, so that a later process given
    // the same id is not taken for it.
    struct StartedInstall {
        qint64 pid = 0;
        QByteArray startTime;
    };

    QString m_systemRoot;
    std::optional<Installer> m_installer;
    std::optional<StartedInstall> m_install;
};

} // namespace corvane
