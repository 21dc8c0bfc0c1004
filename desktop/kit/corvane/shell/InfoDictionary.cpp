#include "InfoDictionary.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace corvane {

InfoDictionary readInfoDictionary(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    return document.isObject() ? document.object().toVariantMap() : InfoDictionary{};
}

std::optional<QString> stringEntry(const InfoDictionary& info, const QString& key) {
    const QVariant value = info.value(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

} // namespace corvane
