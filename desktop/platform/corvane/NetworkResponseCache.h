#pragma once

#include <corvane/shell/LegacyResponseCache.h>

#include <QPointer>

class QAbstractNetworkCache;

namespace corvane {

// A Qt network cache seen as the response cache that is emptied at start-up.
class NetworkResponseCache final : public ResponseCache {
public:
    explicit NetworkResponseCache(QAbstractNetworkCache* cache);
    void removeAllCachedResponses() override;

private:
    QPointer<QAbstractNetworkCache> m_cache;
};

} // namespace corvane
