#pragma once

#include <corvane/setup/HTTPTransport.h>

namespace corvane {

// Sends setup requests over a TCP connection of its own to the numeric address in the URL (the
// server on this computer), speaking HTTP/1.1 itself: one request per connection, nothing cached, no
// proxy in between, no redirect followed, each exchange ended within the request's time limit, and
// no more than SetupClient::maxReplyBytes + 1 bytes of a body ever read. It needs nothing beyond Qt
// Core, so a process that only talks to its own server carries no network library.
class SocketHTTPTransport final : public HTTPTransport {
public:
    QCoro::Task<std::expected<HTTPReply, QString>> send(HTTPRequest request) override;

    // The bytes of `request` as they go on the wire; fails when a header would break a line.
    static std::expected<QByteArray, QString> wireBytes(const HTTPRequest& request);
};

} // namespace corvane
