#include "TestCopyEnvironment.h"

#include <cstdlib>

namespace corvane::TestCopyEnvironment {

bool isTestCopy(const InfoDictionary& info) {
    return stringEntry(info, QStringLiteral("CFBundleIdentifier")) == bundleIdentifier.toString();
}

bool allowsAddress(const QUrl& address, const InfoDictionary& info) {
    if (!address.isValid())
        return false;
    const QString scheme = address.scheme().toLower();
    const QString host = address.host().toLower();
    if (scheme == QStringLiteral("https"))
        return !host.isEmpty();
    return scheme == QStringLiteral("http") && host == QStringLiteral("localhost") && isTestCopy(info);
}

Environment additions(const InfoDictionary& info, const Environment& environment) {
    const QVariant offered = info.value(infoKey.toString());
    if (!isTestCopy(info) || offered.typeId() != QMetaType::QVariantMap)
        return {};
    Environment added;
    const QVariantMap entries = offered.toMap();
    for (auto entry = entries.cbegin(); entry != entries.cend(); ++entry) {
        if (entry.key().startsWith(variablePrefix) && !environment.contains(entry.key()) &&
            entry.value().typeId() == QMetaType::QString)
            added.insert(entry.key(), entry.value().toString());
    }
    return added;
}

void apply(const InfoDictionary& info) {
    const Environment added = additions(info, processEnvironment());
    for (auto entry = added.cbegin(); entry != added.cend(); ++entry)
        ::setenv(entry.key().toLocal8Bit().constData(), entry.value().toLocal8Bit().constData(), 0);
}

} // namespace corvane::TestCopyEnvironment
