#include "ToolLocator.h"

namespace corvane {

using namespace Qt::Literals::StringLiterals;

QStringList ToolLocator::nodeCandidates() {
    return {u"/opt/homebrew/bin/node"_s, u"/usr/local/bin/node"_s, u"/usr/bin/node"_s};
}

QStringList ToolLocator::toolDirectories(const QString& home) {
    return {home + u"/.local/bin"_s};
}

std::optional<QString> ToolLocator::firstExisting(const QStringList& candidates) const {
    for (const QString& candidate : candidates) {
        if (exists(candidate))
            return candidate;
    }
    return std::nullopt;
}

} // namespace corvane
