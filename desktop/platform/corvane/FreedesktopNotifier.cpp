#include "FreedesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

FreedesktopNotifier::FreedesktopNotifier(QString desktopEntry, QDBusConnection bus, QObject* parent)
    : Notifier(parent)
    , m_bus(std::move(bus))
    , m_desktopEntry(std::move(desktopEntry)) {
    m_bus.connect(service.toString(), path.toString(), interface.toString(), u"ActionInvoked"_s, this,
                  SLOT(invoked(uint, QString)));
    m_bus.connect(service.toString(), path.toString(), interface.toString(), u"NotificationClosed"_s, this,
                  SLOT(closed(uint, uint)));
}

void FreedesktopNotifier::show(const Notice& notice) {
    if (!m_bus.isConnected()) {
        Q_EMIT unavailable(notice);
        return;
    }
    // Until the server says which id the last notice has, a new one would stand beside it.
    if (m_asking) {
        m_next = notice;
        return;
    }
    m_asking = true;
    QStringList actions;
    for (const Notice::Action& action : notice.actions)
        actions << action.key << action.label;
    const QVariantMap hints{
        {u"desktop-entry"_s, m_desktopEntry},
        {u"urgency"_s, QVariant::fromValue(uchar(2))}, // critical: it stays until the person answers it
    };
    QDBusMessage call = QDBusMessage::createMethodCall(service.toString(), path.toString(),
                                                       interface.toString(), u"Notify"_s);
    call << u"Kestrin"_s << m_shown.value_or(0u) << u"kestrin"_s << notice.title << notice.body << actions
         << hints << -1;
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call, 5000), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending, notice] {
        pending->deleteLater();
        m_asking = false;
        const QDBusPendingReply<uint> reply = *pending;
        if (reply.isError()) {
            m_shown.reset();
            Q_EMIT unavailable(notice);
        } else {
            m_shown = reply.value();
        }
        if (std::optional<Notice> next = std::exchange(m_next, std::nullopt))
            show(*next);
    });
}

void FreedesktopNotifier::invoked(uint id, const QString& key) {
    if (m_shown == id) // another program's notices are not ours to answer
        Q_EMIT actionInvoked(key);
}

void FreedesktopNotifier::closed(uint id, uint) {
    if (m_shown == id)
        m_shown.reset(); // the next one is new, not a replacement of one that is gone
}

} // namespace corvane
