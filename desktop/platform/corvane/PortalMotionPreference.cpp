#include "PortalMotionPreference.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QProcess>
#include <QStandardPaths>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

const QString standardGroup = u"org.freedesktop.appearance"_s;
const QString standardKey = u"reduced-motion"_s;
const QString gnomeGroup = u"org.gnome.desktop.interface"_s;
const QString gnomeKey = u"enable-animations"_s;

// A value as the portal hands it: possibly a variant within a variant (the first version's Read).
QVariant unwrapped(QVariant value) {
    while (value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

} // namespace

PortalMotionPreference::PortalMotionPreference(QDBusConnection bus, QString gsettings, QObject* parent)
    : MotionPreference(parent)
    , m_bus(std::move(bus))
    , m_gsettings(std::move(gsettings)) {
    if (!m_bus.isConnected()) {
        askGsettings();
        return;
    }
    m_bus.connect(service.toString(), path.toString(), interface.toString(), u"SettingChanged"_s, this,
                  SLOT(settingChanged(QString, QString, QDBusVariant)));
    read(standardGroup, standardKey);
    read(gnomeGroup, gnomeKey);
}

PortalMotionPreference::~PortalMotionPreference() = default;

bool PortalMotionPreference::reduced() const {
    return m_standard.value_or(false) || m_gnome.value_or(false);
}

void PortalMotionPreference::read(const QString& group, const QString& key, const QString& method) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(service.toString(), path.toString(), interface.toString(), method);
    call << group << key;
    ++m_unanswered;
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call, 2000), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, group, key, method](QDBusPendingCallWatcher* done) {
                done->deleteLater();
                --m_unanswered;
                const QDBusPendingReply<QDBusVariant> reply = *done;
                if (!reply.isError())
                    takeAnswer(group, key, reply.value().variant());
                else if (reply.error().type() == QDBusError::ServiceUnknown && group == gnomeGroup)
                    askGsettings(); // no portal at all: GNOME's own setting, asked once
                else if (reply.error().type() == QDBusError::UnknownMethod && method == u"ReadOne")
                    read(group, key, u"Read"_s); // a portal of the first version has only Read
            });
}

void PortalMotionPreference::settingChanged(const QString& group, const QString& key,
                                            const QDBusVariant& value) {
    take(group, key, value.variant());
}

void PortalMotionPreference::take(const QString& group, const QString& key, const QVariant& value) {
    const bool before = reduced();
    const QVariant plain = unwrapped(value);
    if (group == standardGroup && key == standardKey)
        m_standard = plain.toUInt() == 1; // 0 or anything unknown: no preference
    else if (group == gnomeGroup && key == gnomeKey)
        m_gnome = !plain.toBool();
    else
        return;
    if (reduced() != before)
        Q_EMIT changed(reduced());
}

void PortalMotionPreference::takeAnswer(const QString& group, const QString& key, const QVariant& value) {
    const std::optional<bool>& known = group == standardGroup ? m_standard : m_gnome;
    if (!known)
        take(group, key, value);
}

void PortalMotionPreference::askGsettings() {
    const QString program = QStandardPaths::findExecutable(m_gsettings);
    if (program.isEmpty() || m_fallback)
        return;
    m_fallback = std::make_unique<QProcess>();
    m_fallback->setStandardInputFile(QProcess::nullDevice());
    m_fallback->setStandardErrorFile(QProcess::nullDevice());
    ++m_unanswered;
    connect(m_fallback.get(), &QProcess::finished, this, [this](int code, QProcess::ExitStatus how) {
        --m_unanswered;
        const QByteArray said = m_fallback->readAllStandardOutput().trimmed();
        if (how == QProcess::NormalExit && code == 0 && (said == "true" || said == "false"))
            takeAnswer(gnomeGroup, gnomeKey, said == "true");
    });
    connect(m_fallback.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            --m_unanswered; // no answer will come
    });
    m_fallback->start(program, {u"get"_s, gnomeGroup, gnomeKey});
}

} // namespace corvane
