#include "XdgAutostartLoginItem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

// The value of `key` in the [Desktop Entry] group, with the string escapes (\s \n \t \r \\) undone.
std::optional<QString> entryValue(const QString& text, QStringView key) {
    bool inMainGroup = false;
    for (const QString& rawLine : text.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == u"[Desktop Entry]"_s;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inMainGroup || equals < 0 || QStringView(line).left(equals).trimmed() != key)
            continue;
        const QString escaped = line.mid(equals + 1).trimmed();
        QString value;
        for (qsizetype i = 0; i < escaped.size(); ++i) {
            if (escaped[i] != u'\\' || i + 1 == escaped.size()) {
                value += escaped[i];
                continue;
            }
            const QChar next = escaped[++i];
            value += next == u's'   ? u' '
                     : next == u'n' ? u'\n'
                     : next == u't' ? u'\t'
                     : next == u'r' ? u'\r'
                                    : next;
        }
        return value;
    }
    return std::nullopt;
}

// The entry's text for a program; its Exec line quotes the path as desktop entries require.
QByteArray entryText(const QString& executable) {
    // Exec quoting: the path in double quotes with " ` $ \ escaped, and % doubled.
    QString quoted;
    for (const QChar c : executable) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c == u'%' ? u"%%"_s : QString(c);
    }
    // Then the string escapes of the file format itself.
    QString exec = u'"' + quoted + u'"';
    exec.replace(u"\\"_s, u"\\\\"_s)
        .replace(u"\n"_s, u"\\n"_s)
        .replace(u"\t"_s, u"\\t"_s)
        .replace(u"\r"_s, u"\\r"_s);
    return (u"[Desktop Entry]\n"
            u"Type=Application\n"
            u"Version=1.0\n"
            u"Name=Kestrin\n"
            u"Comment=Keeps Kestrin’s local server running for your phone and glasses\n"
            u"Exec="_s +
            exec +
            u"\n"
            u"Terminal=false\n"
            u"X-GNOME-Autostart-enabled=true\n"_s)
        .toUtf8();
}

// The program an entry's Exec line starts, unquoted; empty when there is none.
QString programOf(const QString& execValue) {
    const QString value = execValue.trimmed();
    QString program;
    if (value.startsWith(u'"')) {
        for (qsizetype i = 1; i < value.size() && value[i] != u'"'; ++i) {
            if (value[i] == u'\\' && i + 1 < value.size())
                ++i;
            program += value[i];
        }
    } else {
        program = value.section(u' ', 0, 0);
    }
    return program.replace(u"%%"_s, u"%"_s);
}

} // namespace

QString XdgAutostartLoginItem::standardEntryPath(const QString& bundleIdentifier) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/autostart/"_s +
           bundleIdentifier + u".desktop"_s;
}

XdgAutostartLoginItem::XdgAutostartLoginItem(QString entryPath, QString executable)
    : m_entryPath(std::move(entryPath))
    , m_executable(std::move(executable)) {}

LoginItemStatus XdgAutostartLoginItem::status() {
    QFile file(m_entryPath);
    if (!file.open(QIODevice::ReadOnly))
        return LoginItemStatus::notRegistered;
    const QString text = QString::fromUtf8(file.readAll());
    if (entryValue(text, u"Hidden") == u"true"_s)
        return LoginItemStatus::notRegistered;
    const QFileInfo program(programOf(entryValue(text, u"Exec").value_or(QString())));
    if (!program.isFile() || !program.isExecutable())
        return LoginItemStatus::notFound;
    return LoginItemStatus::enabled;
}

std::expected<void, QString> XdgAutostartLoginItem::registerItem() {
    const QString folder = QFileInfo(m_entryPath).absolutePath();
    if (!QDir().mkpath(folder))
        return std::unexpected(u"The folder %1 could not be created."_s.arg(folder));
    QSaveFile file(m_entryPath);
    if (!file.open(QIODevice::WriteOnly))
        return std::unexpected(file.errorString());
    file.write(entryText(m_executable));
    if (!file.commit())
        return std::unexpected(file.errorString());
    return {};
}

std::expected<void, QString> XdgAutostartLoginItem::unregisterItem() {
    QFile file(m_entryPath);
    if (file.exists() && !file.remove())
        return std::unexpected(file.errorString());
    return {};
}

void XdgAutostartLoginItem::openLoginItemsSettings() {
    const QString folder = QFileInfo(m_entryPath).absolutePath();
    QDir().mkpath(folder);
    QProcess::startDetached(u"xdg-open"_s, {folder});
}

} // namespace corvane
