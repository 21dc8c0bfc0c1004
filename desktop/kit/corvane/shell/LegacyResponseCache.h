#pragma once

namespace corvane {

// A shared store of HTTP responses kept by the platform's networking layer.
class ResponseCache {
public:
    virtual ~ResponseCache() = default;
    virtual void removeAllCachedResponses() = 0;
};

namespace LegacyResponseCache {

// Empties a cache that earlier versions may have filled; the setup client never caches, so any stored
// answer is stale by definition.
inline void clear(ResponseCache& cache) {
    cache.removeAllCachedResponses();
}

} // namespace LegacyResponseCache

} // namespace corvane
