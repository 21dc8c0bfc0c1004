#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>

namespace corvane {

// One PackageKit transaction as its caller sees it: the methods called on it, the packages it names
// and its end. Its signals are followed from construction to destruction.
class PackageKitTransaction final : public QObject {
    Q_OBJECT
public:
    PackageKitTransaction(QDBusConnection bus, QString path, QObject* parent = nullptr);
    ~PackageKitTransaction() override;

    // A call PackageKit refuses ends the transaction.
    void call(const QString& method, const QVariantList& arguments);
    // A call whose answer does not matter.
    void send(const QString& method, const QVariantList& arguments);
    // The packages it has named so far.
    const QStringList& packageIds() const { return m_packageIds; }

Q_SIGNALS:
    // Once: at Finished, at the first ErrorCode, when PackageKit drops the transaction or refuses a call.
    void ended(bool succeeded);

private Q_SLOTS:
    void package(uint info, const QString& packageId, const QString& summary);
    void errorCode(uint code, const QString& details);
    void finished(uint exit, uint runtime);
    void destroy();

private:
    QDBusMessage message(const QString& method, const QVariantList& arguments) const;
    void end(bool succeeded);
    void follow(bool connect);

    QDBusConnection m_bus;
    QString m_path;
    QStringList m_packageIds;
    bool m_ended = false;
};

} // namespace corvane
