#pragma once

#include <QString>

#include <concepts>
#include <variant>

namespace corvane {

// Why no launch plan could be made, in words for the person.
class PlanBuildError {
public:
    struct ServerNotBuilt {
        QString path;
        bool operator==(const ServerNotBuilt&) const = default;
    };
    struct BundledServerDamaged {
        QString path;
        bool operator==(const BundledServerDamaged&) const = default;
    };
    struct NoRepoRoot {
        bool operator==(const NoRepoRoot&) const = default;
    };
    struct NodeNotFound {
        bool operator==(const NodeNotFound&) const = default;
    };
    using Case = std::variant<ServerNotBuilt, BundledServerDamaged, NoRepoRoot, NodeNotFound>;

    template <typename Kind>
    requires std::constructible_from<Case, Kind> PlanBuildError(Kind kind)
        : m_case(std::move(kind)) {}

    const Case& value() const { return m_case; }
    QString message() const;

    bool operator==(const PlanBuildError&) const = default;

private:
    Case m_case;
};

} // namespace corvane
