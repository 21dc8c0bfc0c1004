#pragma once

#include <corvane/welcome/DeveloperToolsService.h>

#include <QDBusConnection>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace corvane {

class PackageKitInstall;

// The developer tools of this system: git under the system root, installed through PackageKit on the
// system bus or, where PackageKit is not there, the distribution's software centre. The install runs
// on its own, outliving Kestrin if need be: the person asked for it.
class PackageKitDeveloperTools final : public DeveloperToolsService {
public:
    // A software centre, and how it is told to show git.
    struct SoftwareCentre {
        QString program;
        QStringList arguments;
        bool operator==(const SoftwareCentre&) const = default;
    };

    // GNOME Software, else KDE Discover, from PATH; nothing when neither is there.
    static std::optional<SoftwareCentre> standardSoftwareCentre();

    explicit PackageKitDeveloperTools(QString systemRoot = QStringLiteral("/"),
                                      std::optional<SoftwareCentre> softwareCentre = standardSoftwareCentre(),
                                      QDBusConnection bus = QDBusConnection::systemBus());
    ~PackageKitDeveloperTools() override;

    QCoro::Task<DeveloperToolsStatus> check() override;
    QCoro::Task<> install() override;
    bool installerRunning() const override;
    DeveloperToolsInstaller installer() const override { return m_installer; }

private:
    static DeveloperToolsStatus probe(const QString& systemRoot);
    QCoro::Task<DeveloperToolsInstaller> findInstaller() const;

    QString m_systemRoot;
    std::optional<SoftwareCentre> m_softwareCentre;
    QDBusConnection m_bus;
    DeveloperToolsInstaller m_installer = DeveloperToolsInstaller::none;
    std::unique_ptr<PackageKitInstall> m_packageKitInstall;
    bool m_softwareCentreStarted = false;
};

} // namespace corvane
