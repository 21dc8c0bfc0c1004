#include "PackageKitTransaction.h"

#include "PackageKitInstall.h"

#include <QDBusPendingCallWatcher>

#include <utility>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

PackageKitTransaction::PackageKitTransaction(QDBusConnection bus, QString path, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_path(std::move(path)) {
    follow(true);
}

PackageKitTransaction::~PackageKitTransaction() {
    follow(false);
}

void PackageKitTransaction::follow(bool connect) {
    const std::pair<QString, const char*> followed[] = {
        {u"Package"_s, SLOT(package(uint, QString, QString))},
        {u"ErrorCode"_s, SLOT(errorCode(uint, QString))},
        {u"Finished"_s, SLOT(finished(uint, uint))},
        {u"Destroy"_s, SLOT(destroy())},
    };
    const QString service = PackageKitInstall::service.toString();
    const QString interface = PackageKitInstall::transactionInterface.toString();
    for (const auto& [name, slot] : followed) {
        if (connect)
            m_bus.connect(service, m_path, interface, name, this, slot);
        else
            m_bus.disconnect(service, m_path, interface, name, this, slot);
    }
}

QDBusMessage PackageKitTransaction::message(const QString& method, const QVariantList& arguments) const {
    QDBusMessage message =
        QDBusMessage::createMethodCall(PackageKitInstall::service.toString(), m_path,
                                       PackageKitInstall::transactionInterface.toString(), method);
    message.setArguments(arguments);
    return message;
}

void PackageKitTransaction::send(const QString& method, const QVariantList& arguments) {
    m_bus.send(message(method, arguments));
}

void PackageKitTransaction::call(const QString& method, const QVariantList& arguments) {
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(message(method, arguments)), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        if (done->isError())
            end(false);
    });
}

void PackageKitTransaction::package(uint, const QString& packageId, const QString&) {
    m_packageIds.append(packageId);
}

void PackageKitTransaction::errorCode(uint, const QString&) {
    end(false);
}

void PackageKitTransaction::finished(uint exit, uint) {
    end(exit == PackageKitInstall::exitSuccess);
}

void PackageKitTransaction::destroy() {
    end(false);
}

// Signals already on their way when the transaction ended may still come, Destroy after Finished among
// them; they say nothing more.
void PackageKitTransaction::end(bool succeeded) {
    if (std::exchange(m_ended, true))
        return;
    Q_EMIT ended(succeeded);
}

} // namespace corvane
