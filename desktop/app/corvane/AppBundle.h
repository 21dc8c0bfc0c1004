#pragma once

#include <corvane/shell/InfoDictionary.h>

#include <QString>

namespace corvane {

// The application folder this copy runs from: the folder that holds Contents/, with its Info.json.
// A build that is not laid out as one (a development build) has its own folder and an empty dictionary.
struct AppBundle {
    QString path;
    InfoDictionary info;

    static AppBundle locate(const QString& executableFolder);
    QString bundleIdentifier() const;
};

} // namespace corvane
