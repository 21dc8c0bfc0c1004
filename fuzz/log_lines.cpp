// Feeds the log's reader whatever the server (or anything else writing its log) might write, cut into
// pieces at a point the input chooses, and checks what it promises: no more lines kept than its limit,
// no kept line longer than the longest line it allows, and the same lines however the bytes were cut.
#include <corvane/supervision/LogTail.h>

#include <cstddef>
#include <cstdint>

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
    const qsizetype cut = bytes.isEmpty() ? 0 : data[0] % bytes.size();
    LogTail whole(8);
    whole.append(bytes);
    LogTail pieces(8);
    pieces.append(bytes.first(cut));
    pieces.append(bytes.sliced(cut));
    if (whole.lines().size() > whole.limit())
        __builtin_trap();
    for (const QString& line : whole.lines())
        if (line.toUtf8().size() > 3 * LogTail::longestLine) // a replacement character is three bytes
            __builtin_trap();
    if (whole.lines() != pieces.lines())
        __builtin_trap();
    return 0;
}
