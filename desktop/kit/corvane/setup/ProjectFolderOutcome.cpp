#include "ProjectFolderOutcome.h"

#include <corvane/setup/JsonFields.h>

namespace corvane {

std::optional<ProjectFolderOutcome> ProjectFolderOutcome::decode(const QJsonObject& object) {
    return JsonFields::decode(object, [](JsonFields& f) {
        return ProjectFolderOutcome{
            .ok = f.boolean(u"ok"),
            .cwd = f.text(u"cwd"),
            .bookmarks = f.textList(u"bookmarks"),
        };
    });
}

} // namespace corvane
