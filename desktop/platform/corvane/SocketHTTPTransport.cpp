#include "SocketHTTPTransport.h"

#include <corvane/setup/HTTPReplyReader.h>
#include <corvane/setup/SetupClient.h>
#include <corvane/support/UniqueFd.h>

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <qcorosignal.h>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <memory>
#include <netinet/in.h>
#include <optional>
#include <sys/socket.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

using Outcome = std::expected<HTTPReply, QString>;

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The address of a numeric host; a name is never looked up, as the server is always this computer.
struct SocketAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;
};

std::optional<SocketAddress> numericAddress(const QUrl& url) {
    const QByteArray host = url.host() == u"localhost"_s ? "127.0.0.1"_ba : url.host().toLatin1();
    const int port = url.port(80);
    if (port <= 0 || port > 65535)
        return std::nullopt;
    SocketAddress address;
    auto* const v4 = reinterpret_cast<sockaddr_in*>(&address.storage);
    auto* const v6 = reinterpret_cast<sockaddr_in6*>(&address.storage);
    if (::inet_pton(AF_INET, host.constData(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(static_cast<uint16_t>(port));
        address.length = sizeof(sockaddr_in);
    } else if (::inet_pton(AF_INET6, host.constData(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(static_cast<uint16_t>(port));
        address.length = sizeof(sockaddr_in6);
    } else {
        return std::nullopt;
    }
    return address;
}

// One request on one connection: connect, write it all, read the reply, and end within `limit`.
class Exchange final : public QObject {
    Q_OBJECT
public:
    Exchange(const SocketAddress& address, QByteArray request, std::chrono::milliseconds limit)
        : m_request(std::move(request))
        , m_reader(SetupClient::maxReplyBytes + 1) {
        m_deadline.setSingleShot(true);
        m_deadline.setTimerType(Qt::PreciseTimer);
        connect(&m_deadline, &QTimer::timeout, this,
                [this, limit] { end(std::unexpected(u"No answer within %1 ms."_s.arg(limit.count()))); });
        m_deadline.start(limit);

        m_socket =
            UniqueFd(::socket(address.storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        if (!m_socket.isValid()) {
            end(std::unexpected(systemError(errno)));
            return;
        }
        if (::connect(m_socket.get(), reinterpret_cast<const sockaddr*>(&address.storage), address.length) !=
                0 &&
            errno != EINPROGRESS && errno != EINTR) {
            end(std::unexpected(systemError(errno)));
            return;
        }
        m_writable = std::make_unique<QSocketNotifier>(m_socket.get(), QSocketNotifier::Write);
        m_readable = std::make_unique<QSocketNotifier>(m_socket.get(), QSocketNotifier::Read);
        m_readable->setEnabled(false);
        connect(m_writable.get(), &QSocketNotifier::activated, this, &Exchange::write);
        connect(m_readable.get(), &QSocketNotifier::activated, this, &Exchange::read);
    }

    const std::optional<Outcome>& outcome() const { return m_outcome; }

Q_SIGNALS:
    void ended();

private:
    void write() {
        if (m_written == 0) {
            int error = 0;
            socklen_t size = sizeof error;
            if (::getsockopt(m_socket.get(), SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                error = errno;
            if (error != 0)
                return end(std::unexpected(systemError(error)));
        }
        while (m_written < m_request.size()) {
            const ssize_t sent = ::send(m_socket.get(), m_request.constData() + m_written,
                                        static_cast<size_t>(m_request.size() - m_written), MSG_NOSIGNAL);
            if (sent < 0) {
                if (errno == EINTR)
                    continue;
                if (errno == EAGAIN || errno == EWOULDBLOCK)
                    return; // the rest when the socket has room again
                return end(std::unexpected(systemError(errno)));
            }
            m_written += sent;
        }
        m_writable->setEnabled(false);
        m_readable->setEnabled(true);
    }

    void read() {
        char buffer[16 * 1024];
        for (;;) {
            const ssize_t received = ::recv(m_socket.get(), buffer, sizeof buffer, 0);
            if (received < 0) {
                if (errno == EINTR)
                    continue;
                if (errno == EAGAIN || errno == EWOULDBLOCK)
                    return;
                // A reply that came whole before the connection broke still counts.
                if (m_reader.close() == HTTPReplyReader::State::complete)
                    return finish();
                return end(std::unexpected(systemError(errno)));
            }
            const HTTPReplyReader::State state =
                received == 0 ? m_reader.close() : m_reader.take(QByteArrayView(buffer, received));
            if (state != HTTPReplyReader::State::reading)
                return finish();
        }
    }

    void finish() {
        if (m_reader.state() == HTTPReplyReader::State::failed)
            return end(std::unexpected(m_reader.failure()));
        end(HTTPReply{.status = m_reader.status(), .body = m_reader.body()});
    }

    void end(Outcome outcome) {
        if (m_outcome)
            return;
        m_outcome = std::move(outcome);
        m_deadline.stop();
        m_writable.reset();
        m_readable.reset();
        m_socket.reset();
        Q_EMIT ended();
    }

    QByteArray m_request;
    qsizetype m_written = 0;
    HTTPReplyReader m_reader;
    UniqueFd m_socket;
    std::unique_ptr<QSocketNotifier> m_writable;
    std::unique_ptr<QSocketNotifier> m_readable;
    QTimer m_deadline;
    std::optional<Outcome> m_outcome;
};

// The exchange may end inside one of its own notifiers' signals; it goes once that has returned.
struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};

bool breaksALine(QByteArrayView text) {
    return text.contains('\r') || text.contains('\n') || text.contains('\0');
}

} // namespace

std::expected<QByteArray, QString> SocketHTTPTransport::wireBytes(const HTTPRequest& request) {
    const QByteArray target =
        request.url.path(QUrl::FullyEncoded).toLatin1() +
        (request.url.hasQuery() ? '?' + request.url.query(QUrl::FullyEncoded).toLatin1() : QByteArray());
    if (breaksALine(request.method) || request.method.contains(' ') || breaksALine(target))
        return std::unexpected(u"The request's method or path would break its first line."_s);
    QByteArray bytes = request.method + ' ' + (target.isEmpty() ? "/"_ba : target) + " HTTP/1.1\r\n";
    bytes += "Host: " + request.url.adjusted(QUrl::RemoveUserInfo).authority(QUrl::FullyEncoded).toLatin1() +
             "\r\nConnection: close\r\n";
    for (const auto& [name, value] : request.headers) {
        if (breaksALine(name) || breaksALine(value) || name.contains(':'))
            return std::unexpected(u"A request header would break a line."_s);
        bytes += name + ": " + value + "\r\n";
    }
    if (request.body)
        bytes += "Content-Length: " + QByteArray::number(request.body->size()) + "\r\n";
    bytes += "\r\n";
    if (request.body)
        bytes += *request.body;
    return bytes;
}

QCoro::Task<std::expected<HTTPReply, QString>> SocketHTTPTransport::send(HTTPRequest request) {
    if (request.url.scheme() != u"http"_s)
        co_return std::unexpected(
            u"Only plain HTTP to this computer is spoken here, not %1."_s.arg(request.url.scheme()));
    const std::optional<SocketAddress> address = numericAddress(request.url);
    if (!address)
        co_return std::unexpected(u"%1 is not a numeric address and port."_s.arg(request.url.authority()));
    std::expected<QByteArray, QString> bytes = wireBytes(request);
    if (!bytes)
        co_return std::unexpected(bytes.error());
    const std::unique_ptr<Exchange, DeleteLater> exchange(
        new Exchange(*address, std::move(*bytes), request.timeout));
    if (!exchange->outcome())
        co_await qCoro(exchange.get(), &Exchange::ended);
    co_return *exchange->outcome();
}

} // namespace corvane

#include "SocketHTTPTransport.moc"
