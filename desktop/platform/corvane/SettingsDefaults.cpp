#include "SettingsDefaults.h"

#include <QStandardPaths>

namespace corvane {

QString SettingsDefaults::standardPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Kestrin/Kestrin.conf");
}

SettingsDefaults::SettingsDefaults(const QString& path)
    : m_settings(path, QSettings::IniFormat) {}

std::optional<QString> SettingsDefaults::string(const QString& key) const {
    const QVariant value = m_settings.value(key);
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

void SettingsDefaults::setString(const QString& key, const QString& value) {
    setValue(key, value);
}

QVariant SettingsDefaults::value(const QString& key) const {
    return m_settings.value(key);
}

void SettingsDefaults::setValue(const QString& key, const QVariant& value) {
    m_settings.setValue(key, value);
    m_settings.sync();
}

} // namespace corvane
