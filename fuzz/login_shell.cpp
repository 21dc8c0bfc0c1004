// Feeds the login-shell parser whatever a shell's start-up files might print, and checks what it
// promises: nothing, or absolute folders joined by ":", none empty and none twice.
#include <corvane/supervision/LoginShellPath.h>

#include <QSet>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString output =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<QString> path = corvane::LoginShellPath::parse(output);
    if (!path)
        return 0;
    QSet<QString> seen;
    for (const QString& folder : path->split(u':')) {
        if (!folder.startsWith(u'/') || seen.contains(folder))
            __builtin_trap();
        seen.insert(folder);
    }
    return 0;
}
