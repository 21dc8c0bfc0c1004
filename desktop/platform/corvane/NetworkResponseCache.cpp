#include "NetworkResponseCache.h"

#include <QAbstractNetworkCache>

namespace corvane {

NetworkResponseCache::NetworkResponseCache(QAbstractNetworkCache* cache)
    : m_cache(cache) {}

void NetworkResponseCache::removeAllCachedResponses() {
    if (m_cache)
        m_cache->clear();
}

} // namespace corvane
