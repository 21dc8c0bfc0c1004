#include "AppBundle.h"

#include <corvane/shell/AppConfiguration.h>

#include <QDir>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

AppBundle AppBundle::locate(const QString& executableFolder) {
    const QString folder = QDir::cleanPath(executableFolder);
    if (!folder.endsWith(u"/Contents/bin"_s))
        return {.path = folder, .info = {}};
    const QString bundle = folder.chopped(QStringView(u"/Contents/bin").size());
    return {.path = bundle, .info = readInfoDictionary(bundle + u"/Contents/Info.json"_s)};
}

QString AppBundle::bundleIdentifier() const {
    return stringEntry(info, u"CFBundleIdentifier"_s)
        .value_or(AppConfiguration::defaultBundleIdentifier.toString());
}

} // namespace corvane
