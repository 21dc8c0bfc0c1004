#include "InhibitorSleepAssertions.h"

#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

const QString applicationName = u"Kestrin"_s;

// logind holds the inhibitor while any copy of its file descriptor is open.
class LogindInhibitor final : public SleepActivity {
public:
    explicit LogindInhibitor(QDBusUnixFileDescriptor fd)
        : m_fd(std::move(fd)) {}

private:
    QDBusUnixFileDescriptor m_fd;
};

// The screensaver holds its inhibitor until told the cookie again, or until this connection closes.
class ScreenSaverInhibitor final : public SleepActivity {
public:
    ScreenSaverInhibitor(QDBusConnection bus, uint cookie)
        : m_bus(std::move(bus))
        , m_cookie(cookie) {}
    ~ScreenSaverInhibitor() override {
        QDBusMessage release = QDBusMessage::createMethodCall(
            u"org.freedesktop.ScreenSaver"_s, u"/org/freedesktop/ScreenSaver"_s,
            u"org.freedesktop.ScreenSaver"_s, u"UnInhibit"_s);
        release << m_cookie;
        m_bus.send(release);
    }

private:
    QDBusConnection m_bus;
    uint m_cookie;
};

} // namespace

InhibitorSleepAssertions::InhibitorSleepAssertions(QDBusConnection systemBus, QDBusConnection sessionBus)
    : m_systemBus(std::move(systemBus))
    , m_sessionBus(std::move(sessionBus)) {}

std::unique_ptr<SleepActivity> InhibitorSleepAssertions::begin(const QString& reason) {
    if (m_systemBus.isConnected()) {
        QDBusMessage inhibit =
            QDBusMessage::createMethodCall(u"org.freedesktop.login1"_s, u"/org/freedesktop/login1"_s,
                                           u"org.freedesktop.login1.Manager"_s, u"Inhibit"_s);
        inhibit << u"idle"_s << applicationName << reason << u"block"_s;
        const QDBusMessage reply = m_systemBus.call(inhibit, QDBus::Block, callTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            const auto fd = reply.arguments().constFirst().value<QDBusUnixFileDescriptor>();
            if (fd.isValid())
                return std::make_unique<LogindInhibitor>(fd);
        }
    }
    if (m_sessionBus.isConnected()) {
        QDBusMessage inhibit = QDBusMessage::createMethodCall(u"org.freedesktop.ScreenSaver"_s,
                                                              u"/org/freedesktop/ScreenSaver"_s,
                                                              u"org.freedesktop.ScreenSaver"_s, u"Inhibit"_s);
        inhibit << applicationName << reason;
        const QDBusMessage reply = m_sessionBus.call(inhibit, QDBus::Block, callTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            return std::make_unique<ScreenSaverInhibitor>(m_sessionBus,
                                                          reply.arguments().constFirst().toUInt());
    }
    return std::make_unique<SleepActivity>();
}

void InhibitorSleepAssertions::end(std::unique_ptr<SleepActivity> activity) {
    activity.reset();
}

} // namespace corvane
