#pragma once

#include <corvane/setup/HTTPTransport.h>

#include <QPointer>

class QNetworkAccessManager;

namespace corvane {

// Sends setup requests through Qt's QNetworkAccessManager. Nothing is cached or redirected, no proxy
// stands in between, each exchange ends within the request's time limit, and no more than
// SetupClient::maxReplyBytes + 1 bytes of a body are ever read.
class NetworkAccessTransport final : public HTTPTransport {
public:
    // Through `manager`, or through the process-wide `localOnly()` one when none is given.
    explicit NetworkAccessTransport(QNetworkAccessManager* manager = nullptr);

    QCoro::Task<std::expected<HTTPReply, QString>> send(HTTPRequest request) override;

    // The process-wide manager: made on first use, with no cache and no proxy, and owned by the
    // application object. Main thread only.
    static QNetworkAccessManager* localOnly();

private:
    QPointer<QNetworkAccessManager> m_manager;
};

} // namespace corvane
