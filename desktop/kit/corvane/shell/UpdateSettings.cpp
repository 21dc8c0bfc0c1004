#include "UpdateSettings.h"

#include <corvane/shell/TestCopyEnvironment.h>

#include <QUrl>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qsizetype ed25519KeyLength = 32;

bool feedIsUsable(const InfoDictionary& info) {
    const std::optional<QString> text = stringEntry(info, u"SUFeedURL"_s);
    if (!text)
        return false;
    const QUrl feed(*text, QUrl::StrictMode);
    if (!feed.isValid())
        return false;
    const QString scheme = feed.scheme().toLower();
    const QString host = feed.host().toLower();
    if (scheme == u"https")
        return !host.isEmpty();
    return scheme == u"http" && host == u"localhost" && TestCopyEnvironment::isTestCopy(info);
}

bool publicKeyIsWellFormed(const InfoDictionary& info) {
    const std::optional<QString> text = stringEntry(info, u"SUPublicEDKey"_s);
    if (!text)
        return false;
    const auto decoded =
        QByteArray::fromBase64Encoding(text->trimmed().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    return decoded && decoded.decoded.size() == ed25519KeyLength;
}

} // namespace

UpdateSettings UpdateSettings::from(const InfoDictionary& info) {
    return {
        .updatesItself = feedIsUsable(info) && publicKeyIsWellFormed(info),
        .version = stringEntry(info, u"CFBundleShortVersionString"_s).value_or(QString()),
    };
}

} // namespace corvane
