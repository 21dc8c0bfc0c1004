#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <qcorotask.h>

#include <functional>

namespace corvane {

class PackageKitTransaction;

// Packages installed by name through PackageKit's D-Bus API, as `pkcon install` does: one transaction
// resolves the names to the newest packages not yet installed for this computer's architecture, a second
// installs those, trusted packages only. PackageKit asks for the password itself, through polkit.
// It runs from construction until the resolve fails or finds nothing, the install ends, or PackageKit
// leaves the bus.
class PackageKitInstall final : public QObject {
    Q_OBJECT
public:
    static constexpr QStringView service = u"org.freedesktop.PackageKit";
    static constexpr QStringView path = u"/org/freedesktop/PackageKit";
    static constexpr QStringView interface = u"org.freedesktop.PackageKit";
    static constexpr QStringView transactionInterface = u"org.freedesktop.PackageKit.Transaction";

    // PackageKit's bitfields give each value of its enums the bit of that number.
    static constexpr quint64 notInstalledNewestForThisArch = (quint64(1) << 3)     // FILTER_NOT_INSTALLED
                                                             | (quint64(1) << 16)  // FILTER_NEWEST
                                                             | (quint64(1) << 18); // FILTER_ARCH
    static constexpr quint64 onlyTrusted = quint64(1) << 1; // TRANSACTION_FLAG_ONLY_TRUSTED
    static constexpr uint exitSuccess = 1;                  // EXIT_SUCCESS

    // Whether PackageKit is on the bus: running, or started by the bus when first called.
    static QCoro::Task<bool> isAvailable(QDBusConnection bus);

    PackageKitInstall(QDBusConnection bus, QStringList names, QObject* parent = nullptr);
    ~PackageKitInstall() override;

    bool isRunning() const { return m_running; }

private:
    void startTransaction(std::function<void(PackageKitTransaction&)> then);
    void install(const QStringList& packageIds);
    void end();

    QDBusConnection m_bus;
    QStringList m_names;
    QDBusServiceWatcher m_departure;
    QPointer<PackageKitTransaction> m_transaction;
    bool m_running = true;
};

} // namespace corvane
