#pragma once

#include <QString>
#include <QVariant>

#include <optional>

namespace corvane {

// The person's settings that outlive the process.
class Defaults {
public:
    virtual ~Defaults() = default;
    virtual std::optional<QString> string(const QString& key) const = 0;
    virtual void setString(const QString& key, const QString& value) = 0;
    // Any value the store can keep (a flag, a map of words); invalid when there is none.
    virtual QVariant value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QVariant& value) = 0;

    // A flag: true only for a stored true (or its text, as a settings file keeps it).
    bool flag(const QString& key) const {
        const QVariant stored = value(key);
        if (stored.typeId() == QMetaType::Bool)
            return stored.toBool();
        return stored.typeId() == QMetaType::QString &&
               (stored.toString() == QStringLiteral("true") || stored.toString() == QStringLiteral("1"));
    }
};

} // namespace corvane
