// Feeds the update feed's reader whatever a server (or someone in between) might send, and checks
// what it promises: every item has a version, an http or https address with a host, a positive length
// and a 64-byte signature, and no more items than it reads; the version order is consistent.
#include <corvane/updates/Appcast.h>

#include <cstddef>
#include <cstdint>

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray feed(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QList<AppcastItem> items = Appcast::items(feed);
    if (items.size() > Appcast::maxItems)
        __builtin_trap();
    for (const AppcastItem& item : items) {
        const QString scheme = item.url.scheme().toLower();
        if (item.version.isEmpty() || item.url.host().isEmpty() ||
            (scheme != u"https" && scheme != u"http") || item.length <= 0 || item.edSignature.size() != 64)
            __builtin_trap();
    }
    // Read as text, the same bytes are two versions: the order must be antisymmetric.
    const QString text = QString::fromUtf8(feed);
    const qsizetype middle = text.size() / 2;
    const QStringView a = QStringView(text).first(middle);
    const QStringView b = QStringView(text).sliced(middle);
    if (Appcast::compareVersions(a, b) != -Appcast::compareVersions(b, a) ||
        Appcast::compareVersions(a, a) != 0)
        __builtin_trap();
    return 0;
}
