#pragma once

#include <corvane/shell/Defaults.h>

#include <QSettings>

namespace corvane {

// The person's settings in an INI file, by default $XDG_CONFIG_HOME/Kestrin/Kestrin.conf. Every change
// is written through at once, so a crash loses nothing.
class SettingsDefaults final : public Defaults {
public:
    static QString standardPath();

    explicit SettingsDefaults(const QString& path = standardPath());

    std::optional<QString> string(const QString& key) const override;
    void setString(const QString& key, const QString& value) override;
    QVariant value(const QString& key) const override;
    void setValue(const QString& key, const QVariant& value) override;

private:
    QSettings m_settings;
};

} // namespace corvane
