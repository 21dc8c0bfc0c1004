#include "GlassesKeyLedger.h"

#include <QVariantMap>

#include <algorithm>

namespace corvane {

QStringList DefaultsGlassesKeyLedger::keys(const QString& serial) const {
    const QVariant stored = m_defaults->value(defaultsKey.toString());
    if (stored.typeId() != QMetaType::QVariantMap)
        return {};
    const QVariant entry = stored.toMap().value(serial);
    if (entry.typeId() == QMetaType::QStringList)
        return entry.toStringList();
    // A list may also come back as a list of variants: it counts only if every one is text.
    if (entry.typeId() != QMetaType::QVariantList)
        return {};
    const QVariantList items = entry.toList();
    if (!std::ranges::all_of(items, [](const QVariant& item) { return item.typeId() == QMetaType::QString; }))
        return {};
    return entry.toStringList();
}

void DefaultsGlassesKeyLedger::record(const QStringList& keys, const QString& serial) {
    const QVariant stored = m_defaults->value(defaultsKey.toString());
    QVariantMap all = stored.typeId() == QMetaType::QVariantMap ? stored.toMap() : QVariantMap();
    all.insert(serial, keys);
    m_defaults->setValue(defaultsKey.toString(), all);
}

} // namespace corvane
