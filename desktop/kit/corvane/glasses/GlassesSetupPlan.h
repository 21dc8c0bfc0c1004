#pragma once

#include <corvane/glasses/GlassesReader.h>
#include <corvane/glasses/GlassesSetupStage.h>

namespace corvane {

// What the setup does next, from what the glasses report.
struct GlassesSetupAction {
    struct CannotProceed {
        QString reason;
        QString whatToDo;
        bool operator==(const CannotProceed&) const = default;
    };
    struct Install {
        InstallBecause because;
        bool operator==(const Install&) const = default;
    };
    struct AlreadySetUp {
        std::optional<QString> version;
        bool operator==(const AlreadySetUp&) const = default;
    };

    std::variant<CannotProceed, Install, AlreadySetUp> value;
    bool operator==(const GlassesSetupAction&) const = default;
};

namespace GlassesSetupPlan {

// The first row that applies: no usable glasses; not installed; not its own installer; then by build
// numbers when both are known, else by versions.
GlassesSetupAction decide(const GlassesLink& link, const std::optional<InstalledGlassesApp>& installed,
                          const std::optional<QString>& installedVersion, const QString& bundledVersion,
                          std::optional<qint64> installedBuild, std::optional<qint64> bundledBuild);

} // namespace GlassesSetupPlan

} // namespace corvane
