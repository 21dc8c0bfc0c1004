#pragma once

#include <corvane/shell/Defaults.h>

#include <QStringList>

#include <memory>

namespace corvane {

// The device keys issued to each pair of glasses (by adb serial), so that older ones can be revoked
// once a new one works.
class GlassesKeyLedger {
public:
    virtual ~GlassesKeyLedger() = default;
    virtual QStringList keys(const QString& serial) const = 0;
    // Replaces the list for that serial.
    virtual void record(const QStringList& keys, const QString& serial) = 0;
};

// Kept in the settings under "glassesKeysBySerial": one map from serial to its list of device ids.
// Other serials' entries are left as they are on every write.
class DefaultsGlassesKeyLedger final : public GlassesKeyLedger {
public:
    static constexpr QStringView defaultsKey = u"glassesKeysBySerial";

    explicit DefaultsGlassesKeyLedger(std::shared_ptr<Defaults> defaults)
        : m_defaults(std::move(defaults)) {}

    QStringList keys(const QString& serial) const override;
    void record(const QStringList& keys, const QString& serial) override;

private:
    std::shared_ptr<Defaults> m_defaults;
};

} // namespace corvane
