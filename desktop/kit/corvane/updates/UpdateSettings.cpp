#include "UpdateSettings.h"

#include <corvane/shell/TestCopyEnvironment.h>

#include <QUrl>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qsizetype ed25519KeyLength = 32;

std::optional<QUrl> usableFeed(const InfoDictionary& info) {
    const std::optional<QString> text = stringEntry(info, u"SUFeedURL"_s);
    if (!text)
        return std::nullopt;
    const QUrl feed(*text, QUrl::StrictMode);
    return TestCopyEnvironment::allowsAddress(feed, info) ? std::optional(feed) : std::nullopt;
}

std::optional<QByteArray> wellFormedPublicKey(const InfoDictionary& info) {
    const std::optional<QString> text = stringEntry(info, u"SUPublicEDKey"_s);
    if (!text)
        return std::nullopt;
    const auto decoded =
        QByteArray::fromBase64Encoding(text->trimmed().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != ed25519KeyLength)
        return std::nullopt;
    return decoded.decoded;
}

} // namespace

UpdateSettings UpdateSettings::from(const InfoDictionary& info) {
    return {
        .updatesItself = source(info).has_value(),
        .packaged = info.value(u"KestrinPackaged"_s).toBool(),
        .version = stringEntry(info, u"CFBundleShortVersionString"_s).value_or(QString()),
    };
}

std::optional<UpdateSource> UpdateSettings::source(const InfoDictionary& info) {
    std::optional<QUrl> feed = usableFeed(info);
    std::optional<QByteArray> publicKey = wellFormedPublicKey(info);
    if (!feed || !publicKey)
        return std::nullopt;
    return UpdateSource{.feed = std::move(*feed), .publicKey = std::move(*publicKey)};
}

} // namespace corvane
