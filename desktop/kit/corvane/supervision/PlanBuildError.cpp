#include "PlanBuildError.h"

#include <corvane/supervision/ToolLocator.h>
#include <corvane/support/Overloaded.h>

namespace corvane {

QString PlanBuildError::message() const {
    return std::visit(
        Overloaded{
            [](const ServerNotBuilt& e) {
                return QStringLiteral("The server hasn't been built yet — nothing at %1. Run: pnpm --filter "
                                      "server build")
                    .arg(e.path);
            },
            [](const BundledServerDamaged& e) {
                return QStringLiteral(
                           "Part of Kestrin is missing from the app (nothing at %1). Reinstalling the "
                           "app fixes this.")
                    .arg(e.path);
            },
            [](const NoRepoRoot&) {
                return QStringLiteral(
                    "Kestrin does not know where your code is yet. Set CORVANE_REPO_ROOT to your checkout.");
            },
            [](const NodeNotFound&) {
                return QStringLiteral("Node isn't installed anywhere Kestrin looked: %1.")
                    .arg(ToolLocator::nodeCandidates().join(QStringLiteral(", ")));
            },
        },
        m_case);
}

} // namespace corvane
