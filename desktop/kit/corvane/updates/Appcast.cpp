#include "Appcast.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>

namespace corvane::Appcast {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QStringView sparkleNamespace = u"http://www.andymatuschak.org/xml-namespaces/sparkle";
constexpr qsizetype ed25519SignatureBytes = 64;

// Markup in release notes is dropped: they are shown as plain text.
QString plainText(QString notes) {
    static const QRegularExpression lineEnds(u"<br\\s*/?>|</(p|div|li|h[1-6])>"_s,
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tags(u"<[^>]*>"_s);
    notes.replace(lineEnds, u"\n"_s);
    notes.remove(tags);
    notes.replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s).replace(u"&amp;"_s, u"&"_s);
    QStringList lines;
    for (const QString& line : notes.split(u'\n'))
        if (const QString kept = line.simplified(); !kept.isEmpty())
            lines.append(kept);
    return lines.join(u'\n');
}

struct Read {
    QString version;
    QString shortVersion;
    QString url;
    QString length;
    QString signature;
    QString notes;
};

std::optional<AppcastItem> usable(const Read& read) {
    AppcastItem item;
    item.version = read.version.trimmed();
    item.shortVersion = read.shortVersion.trimmed().isEmpty() ? item.version : read.shortVersion.trimmed();
    item.url = QUrl(read.url.trimmed(), QUrl::StrictMode);
    bool isNumber = false;
    item.length = read.length.trimmed().toLongLong(&isNumber);
    const auto decoded = QByteArray::fromBase64Encoding(read.signature.trimmed().toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    const QString scheme = item.url.scheme().toLower();
    if (item.version.isEmpty() || !item.url.isValid() || item.url.host().isEmpty() ||
        (scheme != u"https"_s && scheme != u"http"_s) || !isNumber || item.length <= 0 || !decoded ||
        decoded.decoded.size() != ed25519SignatureBytes)
        return std::nullopt;
    item.edSignature = decoded.decoded;
    item.releaseNotes = plainText(read.notes);
    return item;
}

Read readItem(QXmlStreamReader& xml) {
    Read read;
    while (xml.readNextStartElement()) {
        const bool sparkle = xml.namespaceUri() == sparkleNamespace;
        if (xml.name() == u"enclosure") {
            const QXmlStreamAttributes attributes = xml.attributes();
            read.url = attributes.value(u"url"_s).toString();
            read.length = attributes.value(u"length"_s).toString();
            if (const auto version = attributes.value(sparkleNamespace.toString(), u"version"_s);
                !version.isEmpty())
                read.version = version.toString();
            if (const auto shortVersion =
                    attributes.value(sparkleNamespace.toString(), u"shortVersionString"_s);
                !shortVersion.isEmpty())
                read.shortVersion = shortVersion.toString();
            read.signature = attributes.value(sparkleNamespace.toString(), u"edSignature"_s).toString();
            xml.skipCurrentElement();
        } else if (sparkle && xml.name() == u"version") {
            read.version = xml.readElementText(QXmlStreamReader::SkipChildElements);
        } else if (sparkle && xml.name() == u"shortVersionString") {
            read.shortVersion = xml.readElementText(QXmlStreamReader::SkipChildElements);
        } else if (!sparkle && xml.name() == u"description") {
            read.notes = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else {
            xml.skipCurrentElement();
        }
    }
    return read;
}

enum class Kind { number, letters, other };

struct Piece {
    Kind kind;
    QStringView text;
};

QList<Piece> piecesOf(QStringView version) {
    QList<Piece> pieces;
    const auto kindOf = [](QChar c) {
        if (c >= u'0' && c <= u'9')
            return Kind::number;
        return c.isLetter() ? Kind::letters : Kind::other;
    };
    qsizetype start = 0;
    for (qsizetype at = 1; at <= version.size(); ++at)
        if (at == version.size() || kindOf(version[at]) != kindOf(version[start]) ||
            kindOf(version[start]) == Kind::other) {
            pieces.append({kindOf(version[start]), version.sliced(start, at - start)});
            start = at;
        }
    return pieces;
}

int compareNumbers(QStringView a, QStringView b) {
    while (a.size() > 1 && a.front() == u'0')
        a = a.sliced(1);
    while (b.size() > 1 && b.front() == u'0')
        b = b.sliced(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

} // namespace

QList<AppcastItem> items(const QByteArray& feed) {
    QList<AppcastItem> found;
    QXmlStreamReader xml(feed);
    qsizetype read = 0;
    while (!xml.atEnd() && read < maxItems) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"item")
            continue;
        ++read;
        const Read item = readItem(xml);
        if (xml.hasError())
            break;
        if (auto usableItem = usable(item))
            found.append(*usableItem);
    }
    return found;
}

int compareVersions(QStringView a, QStringView b) {
    const QList<Piece> left = piecesOf(a);
    const QList<Piece> right = piecesOf(b);
    const qsizetype common = std::min(left.size(), right.size());
    for (qsizetype i = 0; i < common; ++i) {
        const Piece& l = left[i];
        const Piece& r = right[i];
        if (l.kind != r.kind) {
            // A number outranks letters ("1.0.1" after "1.0b"); letters outrank a separator.
            if (l.kind == Kind::number || (l.kind == Kind::letters && r.kind == Kind::other))
                return 1;
            return -1;
        }
        const int order = l.kind == Kind::number ? compareNumbers(l.text, r.text) : l.text.compare(r.text);
        if (order != 0)
            return order < 0 ? -1 : 1;
    }
    if (left.size() == right.size())
        return 0;
    const bool leftLonger = left.size() > right.size();
    // Trailing zeros add nothing: "0.1.0.0" is "0.1.0".
    const QList<Piece>& longer = leftLonger ? left : right;
    if (std::all_of(longer.begin() + common, longer.end(), [](const Piece& piece) {
            return piece.kind == Kind::other ||
                   (piece.kind == Kind::number && compareNumbers(piece.text, u"0") == 0);
        }))
        return 0;
    // The longer one is newer, unless what it adds begins with letters: "1.0b1" comes before "1.0".
    const Piece& extra = leftLonger ? left[common] : right[common];
    const bool extraIsPrerelease =
        extra.kind == Kind::letters ||
        (extra.kind == Kind::other && common + 1 < (leftLonger ? left : right).size() &&
         (leftLonger ? left : right)[common + 1].kind == Kind::letters);
    if (extraIsPrerelease)
        return leftLonger ? -1 : 1;
    return leftLonger ? 1 : -1;
}

std::optional<AppcastItem> newest(const QList<AppcastItem>& items, QStringView current) {
    std::optional<AppcastItem> best;
    for (const AppcastItem& item : items)
        if (compareVersions(item.version, current) > 0 &&
            (!best || compareVersions(item.version, best->version) > 0))
            best = item;
    return best;
}

} // namespace corvane::Appcast
