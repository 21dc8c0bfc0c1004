#include "FileLogFollower.h"

#include <corvane/supervision/ServerLog.h>

#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <sys/stat.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

std::optional<FileLogFollower::Position> identity(const QString& path) {
    struct stat facts {};
    if (::stat(QFile::encodeName(path).constData(), &facts) != 0 || !S_ISREG(facts.st_mode))
        return std::nullopt;
    return FileLogFollower::Position{.device = static_cast<quint64>(facts.st_dev),
                                     .inode = static_cast<quint64>(facts.st_ino),
                                     .offset = static_cast<qint64>(facts.st_size)};
}

// The last `limit` bytes of the file at `path`, from the start of a line; nothing when it cannot be
// read.
QByteArray lastPart(const QString& path, qint64 limit, qint64 size) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 start = std::max<qint64>(0, size - limit);
    if (!file.seek(start))
        return {};
    QByteArray bytes = file.read(size - start);
    if (start > 0) // begun in the middle of a line: that line starts before what was read
        bytes.remove(0, bytes.indexOf('\n') + 1);
    return bytes;
}

} // namespace

FileLogFollower::FileLogFollower(qint64 tailBytes, QObject* parent)
    : LogFollower(parent)
    , m_tailBytes(tailBytes) {}

FileLogFollower::~FileLogFollower() = default;

FileLogFollower::Result FileLogFollower::readFrom(const QString& path, const std::optional<Position>& from,
                                                  qint64 tailBytes) {
    const std::optional<Position> now = identity(path);
    if (!now)
        return {.read = {.kind = LogRead::Kind::missing, .bytes = {}}, .position = {}};
    const bool sameFile = from && from->device == now->device && from->inode == now->inode;
    if (sameFile && now->offset >= from->offset && now->offset - from->offset <= tailBytes) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && file.seek(from->offset)) {
            const QByteArray bytes = file.read(now->offset - from->offset);
            return {.read = {.kind = LogRead::Kind::more, .bytes = bytes},
                    .position = {now->device, now->inode, from->offset + bytes.size()}};
        }
    }
    // Afresh: opened now, truncated, replaced, or grown past what one read takes. A short log is
    // preceded by the end of its previous generation.
    QByteArray bytes = lastPart(path, tailBytes, now->offset);
    if (now->offset < tailBytes) {
        const QString previous =
            QFileInfo(path).absolutePath() + u'/' + ServerLog::previousFileName.toString();
        if (const std::optional<Position> earlier = identity(previous)) {
            QByteArray before = lastPart(previous, tailBytes - now->offset, earlier->offset);
            if (!before.isEmpty() && !before.endsWith('\n'))
                before.append('\n');
            bytes.prepend(before);
        }
    }
    return {.read = {.kind = LogRead::Kind::fromStart, .bytes = bytes}, .position = *now};
}

void FileLogFollower::follow(const QString& path) {
    stop();
    m_path = path;
    m_watcher = std::make_unique<QFileSystemWatcher>();
    connect(m_watcher.get(), &QFileSystemWatcher::fileChanged, this, &FileLogFollower::readNow);
    connect(m_watcher.get(), &QFileSystemWatcher::directoryChanged, this, &FileLogFollower::readNow);
    watch();
    readNow();
}

void FileLogFollower::stop() {
    ++m_generation;
    m_watcher.reset();
    m_position.reset();
    m_reading = m_readAgain = false;
}

// The folder always (it sees the file come and go); the file while it is there (it sees it grow).
void FileLogFollower::watch() {
    if (!m_watcher)
        return;
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!m_watcher->directories().contains(folder) && QFileInfo(folder).isDir())
        m_watcher->addPath(folder);
    if (!m_watcher->files().contains(m_path) && QFileInfo(m_path).isFile())
        m_watcher->addPath(m_path);
}

void FileLogFollower::readNow() {
    if (!m_watcher)
        return;
    watch();
    if (m_reading) {
        m_readAgain = true; // after the read under way: what it did not see yet
        return;
    }
    m_reading = true;
    auto* done = new QFutureWatcher<Result>(this);
    const quint64 generation = m_generation;
    connect(done, &QFutureWatcherBase::finished, this, [this, done, generation] {
        done->deleteLater();
        if (generation != m_generation)
            return;
        const Result result = done->result();
        m_reading = false;
        m_position =
            result.read.kind == LogRead::Kind::missing ? std::nullopt : std::optional(result.position);
        Q_EMIT read(result.read);
        if (std::exchange(m_readAgain, false))
            readNow();
    });
    done->setFuture(QtConcurrent::run(&FileLogFollower::readFrom, m_path, m_position, m_tailBytes));
}

} // namespace corvane
