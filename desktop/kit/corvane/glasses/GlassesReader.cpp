#include "GlassesReader.h"

#include <QList>

#include <algorithm>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

bool isNewline(QChar c) {
    return c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' || c == QChar(0x85) || c == QChar(0x2028) ||
           c == QChar(0x2029);
}

// The pieces between line feeds (or, with `anyNewline`, between any newline characters), empty
// pieces dropped.
QList<QStringView> linesOf(QStringView text, bool anyNewline = false) {
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype at = 0; at <= text.size(); ++at) {
        if (at < text.size() && !(anyNewline ? isNewline(text[at]) : text[at] == u'\n'))
            continue;
        if (at > start)
            lines.append(text.sliced(start, at - start));
        start = at + 1;
    }
    return lines;
}

// The pieces between white space, empty pieces dropped.
QList<QStringView> wordsOf(QStringView line) {
    QList<QStringView> words;
    qsizetype start = 0;
    for (qsizetype at = 0; at <= line.size(); ++at) {
        if (at < line.size() && !line[at].isSpace())
            continue;
        if (at > start)
            words.append(line.sliced(start, at - start));
        start = at + 1;
    }
    return words;
}

// Spaces and tabs off both ends, newlines kept.
QStringView withoutSpaces(QStringView text) {
    const auto isBlank = [](QChar c) { return c.isSpace() && !isNewline(c); };
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

bool isAsciiNumber(QStringView text) {
    return !text.isEmpty() && std::ranges::all_of(text, [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The value of the first word, from the third on, that begins with `key`.
std::optional<QString> valueOf(const QList<QStringView>& words, QStringView key) {
    for (qsizetype i = 2; i < words.size(); ++i)
        if (words[i].startsWith(key))
            return words[i].sliced(key.size()).toString();
    return std::nullopt;
}

// The text right after `key` on the first line holding it, up to white space or the line's end.
std::optional<QStringView> afterKey(QStringView text, QStringView key) {
    for (const QStringView line : linesOf(text)) {
        const qsizetype at = line.indexOf(key);
        if (at < 0)
            continue;
        QStringView rest = line.sliced(at + key.size());
        const auto end = std::ranges::find_if(rest, [](QChar c) { return c.isSpace(); });
        return rest.first(end - rest.begin());
    }
    return std::nullopt;
}

} // namespace

bool ConnectedDevice::looksLikeGlasses() const {
    const auto named = [](const std::optional<QString>& name) {
        if (!name)
            return false;
        const QString lower = name->toLower();
        return lower.contains(u"rayneo"_s) || lower == u"argf20"_s;
    };
    return named(model) || named(product);
}

std::optional<GlassesNetwork> GlassesWifi::network() const {
    if (const auto* on = std::get_if<On>(&value))
        return on->network;
    return std::nullopt;
}

namespace GlassesReader {

GlassesLink link(QStringView devices) {
    bool unauthorized = false;
    bool offline = false;
    bool noPermission = false;
    for (const QStringView line : linesOf(devices)) {
        const QList<QStringView> words = wordsOf(line);
        if (words.size() < 2)
            continue;
        const QStringView state = words[1];
        if (state == u"device")
            return {GlassesLink::Ready{ConnectedDevice{words[0].toString(), valueOf(words, u"model:"),
                                                       valueOf(words, u"product:")}}};
        unauthorized = unauthorized || state == u"unauthorized";
        noPermission =
            noPermission || (state == u"no" && words.size() > 2 && words[2].startsWith(u"permissions"));
        offline = offline || state == u"offline";
    }
    // The USB rules first: until they let the user in, the glasses cannot even ask to trust this computer.
    if (noPermission)
        return {GlassesLink::NoPermission{}};
    if (unauthorized)
        return {GlassesLink::AwaitingApproval{}};
    if (offline)
        return {GlassesLink::NotResponding{}};
    return {};
}

std::optional<InstalledGlassesApp> installed(QStringView packages) {
    const QStringView listing = packages.trimmed();
    if (!listing.contains(u"package:"_s + GlassesApp::packageName.toString()))
        return std::nullopt;
    const QStringView key = u"installer=";
    const qsizetype at = listing.indexOf(key);
    if (at < 0)
        return InstalledGlassesApp{};
    const QStringView rest = listing.sliced(at + key.size());
    const auto end = std::ranges::find_if(rest, [](QChar c) { return c.isSpace(); });
    const QStringView owner = withoutSpaces(rest.first(end - rest.begin()));
    if (owner.isEmpty() || owner == u"null")
        return InstalledGlassesApp{};
    return InstalledGlassesApp{owner.toString()};
}

std::optional<QString> version(QStringView dumpsys) {
    const auto value = afterKey(dumpsys, u"versionName=");
    if (!value || value->isEmpty())
        return std::nullopt;
    return value->toString();
}

std::optional<qint64> versionCode(QStringView dumpsys) {
    for (const QStringView line : linesOf(dumpsys)) {
        const QStringView key = u"versionCode=";
        const qsizetype at = line.indexOf(key);
        if (at < 0)
            continue;
        const QStringView rest = line.sliced(at + key.size());
        const auto end = std::ranges::find_if_not(rest, [](QChar c) { return c.isDigit(); });
        const QStringView digits = rest.first(end - rest.begin());
        bool isNumber = false;
        const qint64 code = digits.toLongLong(&isNumber);
        if (!isAsciiNumber(digits) || !isNumber)
            return std::nullopt;
        return code;
    }
    return std::nullopt;
}

GlassesWifi wifi(QStringView addresses) {
    bool sawIpv4 = false;
    for (const QStringView line : linesOf(addresses, true)) {
        const QList<QStringView> words = wordsOf(line);
        if (words.size() <= 3)
            continue;
        const qsizetype inet = words.indexOf(u"inet");
        if (inet < 0)
            continue;
        sawIpv4 = true;
        if (!words[1].startsWith(u"wlan") || inet + 1 >= words.size())
            continue;
        QList<QStringView> pieces = words[inet + 1].split(u'/', Qt::SkipEmptyParts);
        if (pieces.size() != 2 || !isAsciiNumber(pieces[1]) || !GlassesNetwork::number(pieces[0]))
            continue;
        bool isNumber = false;
        const int prefix = pieces[1].toInt(&isNumber);
        if (isNumber)
            return {GlassesWifi::On{GlassesNetwork{pieces[0].toString(), prefix}}};
    }
    return sawIpv4 ? GlassesWifi{GlassesWifi::Off{}} : GlassesWifi{};
}

std::optional<QString> sessionId(QStringView installCreate) {
    const qsizetype open = installCreate.indexOf(u'[');
    if (open < 0)
        return std::nullopt;
    const qsizetype close = installCreate.indexOf(u']', open + 1);
    if (close < 0)
        return std::nullopt;
    const QStringView inside = installCreate.sliced(open + 1, close - open - 1);
    if (inside.isEmpty() || !std::ranges::all_of(inside, [](QChar c) { return c.isDigit(); }))
        return std::nullopt;
    return inside.toString();
}

bool commitSucceeded(QStringView output) {
    const QStringView trimmed = output.trimmed();
    const qsizetype newline = trimmed.indexOf(u'\n');
    return withoutSpaces(newline < 0 ? trimmed : trimmed.first(newline)) == u"Success";
}

} // namespace GlassesReader

} // namespace corvane
