#include "JsonFields.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace corvane {

std::optional<QJsonObject> parseJsonObject(const QByteArray& body) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

} // namespace corvane
