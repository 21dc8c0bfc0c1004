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

std::optional<QStringList> JsonFields::asTextList(const QJsonValue& value) {
    if (!value.isArray())
        return std::nullopt;
    QStringList texts;
    for (const QJsonValue& element : value.toArray()) {
        if (!element.isString())
            return std::nullopt;
        texts.append(element.toString());
    }
    return texts;
}

} // namespace corvane
