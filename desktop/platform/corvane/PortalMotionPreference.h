#pragma once

#include <corvane/shell/MotionPreference.h>

#include <QDBusConnection>
#include <QDBusVariant>

#include <optional>

class QProcess;

namespace corvane {

// The desktop's wish for less motion, from the XDG desktop portal's settings: the standard
// `org.freedesktop.appearance` `reduced-motion`, and GNOME's `enable-animations`, which desktops
// also hand out there; either asking for less motion is enough. Without a portal, GNOME's own setting
// through `gsettings`. Asked without waiting at start; the portal's changes follow at once.
class PortalMotionPreference final : public MotionPreference {
    Q_OBJECT
public:
    static constexpr QStringView service = u"org.freedesktop.portal.Desktop";
    static constexpr QStringView path = u"/org/freedesktop/portal/desktop";
    static constexpr QStringView interface = u"org.freedesktop.portal.Settings";

    explicit PortalMotionPreference(QDBusConnection bus = QDBusConnection::sessionBus(),
                                    QString gsettings = QStringLiteral("gsettings"),
                                    QObject* parent = nullptr);
    ~PortalMotionPreference() override;

    bool reduced() const override;
    // Whether every question asked at start has had its answer (or its error).
    bool isSettled() const { return m_unanswered == 0; }

private Q_SLOTS:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void read(const QString& group, const QString& key, const QString& method = QStringLiteral("ReadOne"));
    void take(const QString& group, const QString& key, const QVariant& value);
    // An answer to a question asked at start, which a change heard since then has made old.
    void takeAnswer(const QString& group, const QString& key, const QVariant& value);
    void askGsettings();

    QDBusConnection m_bus;
    QString m_gsettings;
    std::optional<bool> m_standard; // reduced-motion says: less motion
    std::optional<bool> m_gnome;    // enable-animations says: no animations
    std::unique_ptr<QProcess> m_fallback;
    int m_unanswered = 0;
};

} // namespace corvane
