#include "PlatformToolsManifest.h"

#include <QList>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace corvane::PlatformToolsManifest {

using namespace Qt::Literals::StringLiterals;

namespace {

struct Listed {
    PlatformToolsArchive archive;
    QString checksumType;
    QString hostOs;
    QString hostArch;
};

// The text of the element the reader is on; nothing if it holds elements of its own.
QString textOf(QXmlStreamReader& xml) {
    return xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
}

// Reads one <archive> up to its end.
Listed readArchive(QXmlStreamReader& xml) {
    Listed listed;
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        if (name == u"complete") {
            while (xml.readNextStartElement()) {
                if (xml.name() == u"size") {
                    listed.archive.size = textOf(xml).toLongLong();
                } else if (xml.name() == u"checksum") {
                    listed.checksumType = xml.attributes().value(u"type"_s).toString();
                    listed.archive.sha1 = textOf(xml).toLower();
                } else if (xml.name() == u"url") {
                    listed.archive.fileName = textOf(xml);
                } else {
                    xml.skipCurrentElement();
                }
            }
        } else if (name == u"host-os") {
            listed.hostOs = textOf(xml);
        } else if (name == u"host-arch") {
            listed.hostArch = textOf(xml);
        } else {
            xml.skipCurrentElement();
        }
    }
    return listed;
}

bool usable(const Listed& listed) {
    static const QRegularExpression plainName(u"^[A-Za-z0-9._-]+\\.zip$"_s);
    static const QRegularExpression sha1(u"^[0-9a-f]{40}$"_s);
    return listed.hostOs == u"linux"_s && (listed.hostArch.isEmpty() || listed.hostArch == u"x64"_s) &&
           (listed.checksumType.isEmpty() || listed.checksumType == u"sha1"_s) &&
           plainName.match(listed.archive.fileName).hasMatch() && !listed.archive.fileName.startsWith(u'.') &&
           sha1.match(listed.archive.sha1).hasMatch();
}

// Reads one <remotePackage> up to its end: its channel and the usable Linux archive, if any.
std::optional<PlatformToolsArchive> readPackage(QXmlStreamReader& xml) {
    QString channel;
    std::optional<PlatformToolsArchive> found;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"channelRef") {
            channel = xml.attributes().value(u"ref"_s).toString();
            xml.skipCurrentElement();
        } else if (xml.name() == u"archives") {
            while (xml.readNextStartElement()) {
                if (xml.name() != u"archive") {
                    xml.skipCurrentElement();
                    continue;
                }
                const Listed listed = readArchive(xml);
                if (!found && usable(listed))
                    found = listed.archive;
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    // Only the stable channel: previews are not what a person is asked to download.
    if (!channel.isEmpty() && channel != u"channel-0"_s)
        return std::nullopt;
    return found;
}

} // namespace

std::optional<PlatformToolsArchive> linuxArchive(const QByteArray& manifest) {
    QXmlStreamReader xml(manifest);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"remotePackage" ||
            xml.attributes().value(u"path"_s) != u"platform-tools")
            continue;
        if (auto archive = readPackage(xml))
            return archive;
    }
    return std::nullopt;
}

} // namespace corvane::PlatformToolsManifest
