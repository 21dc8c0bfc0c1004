// Feeds the HTTP reply reader whatever a peer on the setup port might send, cut into two pieces at a
// point the input chooses, and checks what it promises: never a body past its limit, a reason for
// every failure, and the same reply however the bytes were cut.
#include <corvane/setup/HTTPReplyReader.h>

#include <cstddef>
#include <cstdint>

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const qsizetype limit = data[1] % 64;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data) + 2, static_cast<qsizetype>(size - 2));
    const qsizetype cut = bytes.isEmpty() ? 0 : data[0] % bytes.size();
    HTTPReplyReader whole(limit);
    whole.take(bytes);
    whole.close();
    HTTPReplyReader pieces(limit);
    pieces.take(bytes.first(cut));
    pieces.take(bytes.sliced(cut));
    pieces.close();
    if (whole.body().size() > limit)
        __builtin_trap();
    if ((whole.state() == HTTPReplyReader::State::failed) == whole.failure().isEmpty())
        __builtin_trap();
    if (whole.state() != pieces.state() || whole.status() != pieces.status() ||
        whole.body() != pieces.body() || whole.isCut() != pieces.isCut())
        __builtin_trap();
    return 0;
}
