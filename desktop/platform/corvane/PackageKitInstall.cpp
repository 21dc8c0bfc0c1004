#include "PackageKitInstall.h"

#include "PackageKitTransaction.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <qcorodbuspendingcall.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

QDBusMessage busCall(const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        u"org.freedesktop.DBus"_s, u"/org/freedesktop/DBus"_s, u"org.freedesktop.DBus"_s, method);
    message.setArguments(arguments);
    return message;
}

} // namespace

// The calls are made one at a time and kept in named variables: GCC 12 mishandles temporaries that
// live across a co_await.
QCoro::Task<bool> PackageKitInstall::isAvailable(QDBusConnection bus) {
    if (!bus.isConnected())
        co_return false;
    const QDBusPendingCall owned = bus.asyncCall(busCall(u"NameHasOwner"_s, {service.toString()}));
    const QDBusMessage ownedReply = co_await owned;
    if (ownedReply.type() == QDBusMessage::ReplyMessage && ownedReply.arguments().value(0).toBool())
        co_return true;
    const QDBusPendingCall activatable = bus.asyncCall(busCall(u"ListActivatableNames"_s));
    const QDBusMessage activatableReply = co_await activatable;
    const QStringList names = activatableReply.type() == QDBusMessage::ReplyMessage
                                  ? activatableReply.arguments().value(0).toStringList()
                                  : QStringList();
    co_return names.contains(service.toString());
}

PackageKitInstall::PackageKitInstall(QDBusConnection bus, QStringList names, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_names(std::move(names))
    , m_departure(service.toString(), m_bus, QDBusServiceWatcher::WatchForUnregistration) {
    connect(&m_departure, &QDBusServiceWatcher::serviceUnregistered, this, &PackageKitInstall::end);
    startTransaction([this](PackageKitTransaction& resolve) {
        connect(&resolve, &PackageKitTransaction::ended, this, [this, &resolve](bool succeeded) {
            if (succeeded && !resolve.packageIds().isEmpty())
                install(resolve.packageIds());
            else
                end();
        });
        resolve.call(u"Resolve"_s, {QVariant::fromValue(notInstalledNewestForThisArch), m_names});
    });
}

PackageKitInstall::~PackageKitInstall() = default;

void PackageKitInstall::startTransaction(std::function<void(PackageKitTransaction&)> then) {
    const QDBusMessage create = QDBusMessage::createMethodCall(service.toString(), path.toString(),
                                                               interface.toString(), u"CreateTransaction"_s);
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(create), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, then = std::move(then)](QDBusPendingCallWatcher* done) {
                done->deleteLater();
                const QDBusPendingReply<QDBusObjectPath> reply = *done;
                if (!m_running)
                    return;
                if (reply.isError())
                    return end();
                // The transaction before this one has ended; it goes once it has finished speaking.
                if (m_transaction)
                    m_transaction->deleteLater();
                m_transaction = new PackageKitTransaction(m_bus, reply.value().path(), this);
                then(*m_transaction);
            });
}

// Without the interactive hint PackageKit refuses the install where it would have to ask for the
// password. The hint is not waited for, as the bus keeps the two calls in order, and a PackageKit that
// does not take it still installs.
void PackageKitInstall::install(const QStringList& packageIds) {
    startTransaction([this, packageIds](PackageKitTransaction& install) {
        connect(&install, &PackageKitTransaction::ended, this, &PackageKitInstall::end);
        install.send(u"SetHints"_s, {QStringList{u"interactive=true"_s}});
        install.call(u"InstallPackages"_s, {QVariant::fromValue(onlyTrusted), packageIds});
    });
}

void PackageKitInstall::end() {
    m_running = false;
}

} // namespace corvane
