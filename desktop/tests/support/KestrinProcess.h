#pragma once

// The kestrin binary as a child of a test: a temporary HOME, the reference server of this checkout on
// a given port, and everything kestrin prints.

#include "TestPorts.h"

#include <corvane/shell/Environment.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <functional>

using namespace Qt::Literals::StringLiterals;

// The kestrin the desktop suites run: this build's, or the one KESTRIN_UNDER_TEST names (an optimised
// build, to hold it to the speed people get).
inline QString kestrinUnderTest() {
    return qEnvironmentVariableIsSet("KESTRIN_UNDER_TEST") ? qEnvironmentVariable("KESTRIN_UNDER_TEST")
                                                           : QStringLiteral(KESTRIN);
}

// How long a launch may take to put the icon in the tray, and a click to put the panel on screen. The
// test build runs under the sanitizers, which slow it several times: it is held to ten times the goals,
// which still catches a blocking call on the way; an optimised build is held to the goals themselves.
struct DesktopSpeed {
    int launchToIconMs = 400;
    int clickToPanelMs = 50;

    static DesktopSpeed goals() {
        const int slack = qEnvironmentVariableIsSet("KESTRIN_UNDER_TEST") ? 1 : 10;
        return {400 * slack, 50 * slack};
    }
};

// What kestrin reads on its standard input: a pipe closed at once, a pipe the test types commands
// into, or the null device, as a service has.
enum class KestrinInput { closed, typed, nullDevice };

// One kestrin process and everything it printed.
class Kestrin {
public:
    // `prepare` may lay out the temporary HOME before kestrin starts.
    explicit Kestrin(int port, const std::function<void(const QString& home)>& prepare = {},
                     const corvane::Environment& extraEnvironment = {},
                     const QStringList& arguments = {QStringLiteral("--headless")},
                     KestrinInput input = KestrinInput::closed, const QString& program = kestrinUnderTest())
        : m_port(port) {
        if (prepare)
            prepare(m_home.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, m_home.path());
        environment.insert(u"CORVANE_REPO_ROOT"_s, QStringLiteral(REPO_ROOT));
        environment.insert(u"CORVANE_PORT"_s, QString::number(port));
        environment.insert(u"CORVANE_WRITE_ADMIN_SECRET"_s, secretPath());
        environment.remove(u"DISPLAY"_s);
        environment.remove(u"WAYLAND_DISPLAY"_s);
        environment.remove(u"XDG_CONFIG_HOME"_s);
        environment.remove(u"QT_QPA_PLATFORM"_s); // kestrin finds its face by itself
        for (auto entry = extraEnvironment.cbegin(); entry != extraEnvironment.cend(); ++entry)
            environment.insert(entry.key(), entry.value());
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        if (input == KestrinInput::nullDevice)
            m_process.setStandardInputFile(QProcess::nullDevice());
        m_process.start(program, arguments);
        if (input == KestrinInput::closed)
            m_process.closeWriteChannel();
    }
    ~Kestrin() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    QString home() const { return m_home.path(); }
    QString secretPath() const { return m_home.filePath(u"secret"_s); }
    QProcess& process() { return m_process; }

    // Waits until the output holds `pattern`; gives the first group of its last match.
    QString waitFor(const QRegularExpression& pattern, int timeoutMs = 15000,
                    const std::function<bool(const QString&)>& accept = {}) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            m_output += QString::fromUtf8(m_process.readAll());
            QString last;
            for (const auto& match : pattern.globalMatch(m_output))
                last = match.captured(match.lastCapturedIndex());
            if (!last.isEmpty() && (!accept || accept(last)))
                return last;
            if (m_process.state() == QProcess::NotRunning)
                break;
            // The test's own event loop runs meanwhile, so servers in the test can answer kestrin.
            QEventLoop loop;
            QTimer::singleShot(100, &loop, &QEventLoop::quit);
            QObject::connect(&m_process, &QProcess::readyRead, &loop, &QEventLoop::quit);
            QObject::connect(&m_process, &QProcess::finished, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return {};
    }
    const QString& output() const { return m_output; }
    // Gathers what kestrin has printed so far, for a failure's message.
    const QString& drain() {
        m_output += QString::fromUtf8(m_process.readAll());
        return m_output;
    }
    // The held quit, as the desktop asks for it at logout.
    void terminate() { m_process.terminate(); } // SIGTERM

    // Types a line at kestrin's terminal; false when it could not be delivered.
    bool type(const QByteArray& line) {
        m_process.write(line + '\n');
        return m_process.waitForBytesWritten(5000);
    }
    // Whether kestrin prints `text` (exactly) within the time.
    bool sees(const QString& text, int timeoutMs = 15000) {
        return !waitFor(QRegularExpression(u"(%1)"_s.arg(QRegularExpression::escape(text))), timeoutMs)
                    .isEmpty();
    }

    // How long the last click on the icon took to paint the panel, as kestrin logs it with
    // QT_LOGGING_RULES="kestrin.tray.info=true"; -1 when it does not say within the time.
    int clickToPanelMs(int timeoutMs = 5000) {
        const QRegularExpression said(u"panel painted (\\d+) ms after the click"_s);
        const auto timedClicks = [&] {
            qsizetype count = 0;
            for (auto match = said.globalMatch(m_output); match.hasNext(); match.next())
                ++count;
            return count;
        };
        const QString last =
            waitFor(said, timeoutMs, [&](const QString&) { return timedClicks() > m_timedClicks; });
        if (last.isEmpty())
            return -1;
        m_timedClicks = timedClicks();
        return last.toInt();
    }

    // The server's process id as the readout shows it, once it is other than `previous`.
    qint32 serverPid(qint32 previous = 0) {
        return waitFor(QRegularExpression(u"ON · PORT %1 · PROCESS (\\d+)"_s.arg(m_port)), 15000,
                       [previous](const QString& pid) { return pid.toInt() != previous; })
            .toInt();
    }

private:
    QTemporaryDir m_home;
    int m_port;
    QProcess m_process;
    QString m_output;
    qsizetype m_timedClicks = 0; // the clicks clickToPanelMs has told of
};
