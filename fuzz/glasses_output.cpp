// Feeds every reader of adb's output whatever adb (or a device pretending to be the glasses) might
// print, and checks what they promise: a usable device has a serial, a Wi-Fi network has a readable
// address and a prefix that is not negative (and, when at most 32 bits, holds its own address), a
// session id is all digits, a version has no white space. The repository manifest's reader takes the
// same bytes: an archive it names is a plain file name with a SHA-1 digest.
#include <corvane/glasses/GlassesReader.h>
#include <corvane/glasses/PlatformToolsManifest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString output =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const GlassesLink link = GlassesReader::link(output);
    if (const auto* ready = std::get_if<GlassesLink::Ready>(&link.value);
        ready && ready->device.serial.isEmpty())
        __builtin_trap();
    static_cast<void>(GlassesReader::installed(output));
    if (const auto version = GlassesReader::version(output);
        version && (version->isEmpty() || std::ranges::any_of(*version, [](QChar c) { return c.isSpace(); })))
        __builtin_trap();
    if (const auto code = GlassesReader::versionCode(output); code && *code < 0)
        __builtin_trap();
    if (const auto network = GlassesReader::wifi(output).network();
        network && (!GlassesNetwork::number(network->address) || network->prefixLength < 0 ||
                    (network->prefixLength <= 32 && !network->contains(network->address))))
        __builtin_trap();
    if (const auto session = GlassesReader::sessionId(output);
        session &&
        (session->isEmpty() || !std::ranges::all_of(*session, [](QChar c) { return c.isDigit(); })))
        __builtin_trap();
    static_cast<void>(GlassesReader::commitSucceeded(output));
    if (const auto archive = PlatformToolsManifest::linuxArchive(
            QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
        archive && (archive->fileName.contains(u'/') || archive->fileName.startsWith(u'.') ||
                    archive->sha1.size() != 40))
        __builtin_trap();
    return 0;
}
