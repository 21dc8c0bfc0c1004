#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

namespace corvane {

// The application's information keys (the bundle's Info dictionary), as read from its Info.json.
using InfoDictionary = QVariantMap;

// Reads a JSON object from `path`; a missing, unreadable or malformed file is an empty dictionary.
InfoDictionary readInfoDictionary(const QString& path);

// The entry's value when it is a string, otherwise nothing.
std::optional<QString> stringEntry(const InfoDictionary& info, const QString& key);

} // namespace corvane
