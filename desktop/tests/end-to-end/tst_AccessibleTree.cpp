// Kestrin as a screen reader finds it: a virtual X display, the AT-SPI bus and registry of Debian's
// at-spi2-core on the test's own session bus, and the tree read through python3-pyatspi, as Orca reads
// it. Every control on screen, in the welcome and in the panel, has a role, a name and its states.

#include "support/KestrinProcess.h"
#include "support/PrivateBus.h"
#include "support/TestPorts.h"
#include "support/TestSupport.h"
#include "support/VirtualDisplay.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

// The session a screen reader runs in: the display, the bus, and the accessibility bus and registry.
class AccessibleSession {
public:
    AccessibleSession() {
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (m_display.name().isEmpty() || m_bus.address().isEmpty())
            return;
        for (QProcess* part : {&m_launcher, &m_registry}) {
            part->setProcessEnvironment(environment());
            part->setStandardOutputFile(QProcess::nullDevice());
            part->setStandardErrorFile(QProcess::nullDevice());
        }
        m_launcher.start(u"/usr/libexec/at-spi-bus-launcher"_s, {u"--launch-immediately"_s});
        m_registry.start(u"/usr/libexec/at-spi2-registryd"_s, QStringList{});
        m_running = m_launcher.waitForStarted() && m_registry.waitForStarted() && ready();
    }
    ~AccessibleSession() {
        stopProcess(m_registry);
        stopProcess(m_launcher);
    }

    bool running() const { return m_running; }
    QProcessEnvironment environment() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"DISPLAY"_s, m_display.name());
        environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, m_bus.address());
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_runtime.path());
        return environment;
    }
    corvane::Environment forKestrin() const {
        return {{u"DISPLAY"_s, m_display.name()},
                {u"DBUS_SESSION_BUS_ADDRESS"_s, m_bus.address()},
                {u"XDG_RUNTIME_DIR"_s, m_runtime.path()},
                {u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s}};
    }

    // What the registry shows of Kestrin now: {"windows": [...], "controls": [...]}, each entry with its
    // role, name and states.
    QJsonObject tree() const {
        QProcess reader;
        reader.setProcessEnvironment(environment());
        reader.start(
            u"/usr/bin/python3"_s,
            {QStringLiteral(REPO_ROOT "/desktop/tests/support/fixtures/accessible_tree.py"), u"Kestrin"_s});
        if (!reader.waitForFinished(20000) || reader.exitCode() != 0)
            return {};
        return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    }

private:
    // Whether the accessibility bus is up and its registry is on it, as an application that starts now
    // needs them to be: Qt asks for the bus once, at start, and does not ask again.
    bool ready() const {
        QDBusConnection session = m_bus.connect(u"ready"_s);
        QString address;
        const bool busUp = waitUntil(
            [&] {
                QCoreApplication::processEvents();
                const QDBusMessage reply =
                    session.call(QDBusMessage::createMethodCall(u"org.a11y.Bus"_s, u"/org/a11y/bus"_s,
                                                                u"org.a11y.Bus"_s, u"GetAddress"_s),
                                 QDBus::Block, 1000);
                if (reply.type() == QDBusMessage::ReplyMessage)
                    address = reply.arguments().value(0).toString();
                return !address.isEmpty();
            },
            30000);
        if (!busUp)
            return false;
        QDBusConnection accessibility = QDBusConnection::connectToBus(address, u"accessibility"_s);
        return waitUntil(
            [&] {
                return accessibility.isConnected() &&
                       accessibility.interface()->isServiceRegistered(u"org.a11y.atspi.Registry"_s).value();
            },
            30000);
    }

    VirtualDisplay m_display;
    PrivateBus m_bus;
    QTemporaryDir m_runtime;
    QProcess m_launcher;
    QProcess m_registry;
    bool m_running = false;
};

QStringList namesOf(const QJsonArray& entries, const QString& role) {
    QStringList names;
    for (const QJsonValue entry : entries)
        if (entry[u"role"_s].toString() == role)
            names.append(entry[u"name"_s].toString());
    return names;
}

} // namespace

class TestAccessibleTree : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyControlOnScreenHasARoleANameAndItsStates() {
        const AccessibleSession session;
        QVERIFY2(session.running(), "Xvfb, dbus-daemon and at-spi2-core (Debian's packages) are needed");
        const int port = freeLoopbackPort();
        Kestrin kestrin(port, {}, session.forKestrin(), {}); // the first run: the welcome opens
        QJsonObject tree;
        const bool welcomed = waitUntil(
            [&] {
                tree = session.tree();
                return namesOf(tree[u"windows"_s].toArray(), u"frame"_s).contains(u"Welcome to Kestrin"_s);
            },
            60000);
        kestrin.drain();
        QVERIFY2(welcomed,
                 qPrintable(QString::fromUtf8(QJsonDocument(tree).toJson()) + kestrin.output().right(3000)));
        // A second launch brings the panel (a window, with no tray here).
        Kestrin second(port, {}, session.forKestrin(), {});
        QVERIFY(second.process().waitForFinished(15000));
        QVERIFY2(waitUntil(
                     [&] {
                         tree = session.tree();
                         return namesOf(tree[u"windows"_s].toArray(), u"frame"_s).contains(u"Kestrin"_s) &&
                                namesOf(tree[u"controls"_s].toArray(), u"push button"_s).contains(u"Quit"_s);
                     },
                     20000),
                 QJsonDocument(tree).toJson().constData());

        const QJsonArray controls = tree[u"controls"_s].toArray();
        QStringList seen;
        for (const QJsonValue control : controls)
            seen.append(control[u"name"_s].toString());
        QVERIFY2(controls.size() >= 12, qPrintable(seen.join(u" | "_s)));
        for (const QJsonValue control : controls) {
            const QString role = control[u"role"_s].toString();
            const QJsonArray states = control[u"states"_s].toArray();
            const QString what =
                QString::fromUtf8(QJsonDocument(control.toObject()).toJson(QJsonDocument::Compact));
            QVERIFY2(!control[u"name"_s].toString().isEmpty(), qPrintable(what));
            const bool meaningful =
                !QStringList{u"filler"_s, u"panel"_s, u"unknown"_s, u"invalid"_s}.contains(role);
            QVERIFY2(meaningful, qPrintable(what));
            QVERIFY2(states.contains(u"enabled"_s) || states.contains(u"focusable"_s), qPrintable(what));
        }
        // The panel's keys and switches, named as written.
        QVERIFY(namesOf(controls, u"push button"_s).contains(u"Quit"_s));
        QVERIFY(namesOf(controls, u"check box"_s).contains(u"Answer my home network"_s));
        QVERIFY(namesOf(controls, u"push button"_s).contains(u"Use an API key instead"_s) ||
                namesOf(controls, u"push button"_s).contains(u"Install Git"_s) ||
                !namesOf(controls, u"push button"_s).filter(u"continue"_s).isEmpty());

        kestrin.terminate();
        QVERIFY(kestrin.process().waitForFinished(15000));
        QCOMPARE(kestrin.process().exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestAccessibleTree)
#include "tst_AccessibleTree.moc"
