#pragma once

#include <corvane/supervision/LogFollower.h>

#include <QFileSystemWatcher>

#include <memory>

namespace corvane {

// Follows a log file through inotify (Qt's file system watcher) on the file and on its folder, so that
// a file replaced by rotation, or made later, is found again. Each read runs on Qt's thread pool, one
// at a time: the first takes at most `tailBytes` from the end (the log's previous generation first,
// when the current one is short); later ones what was added, at most `tailBytes` at once, starting
// afresh when the file shrank or is another file now.
class FileLogFollower final : public LogFollower {
    Q_OBJECT
public:
    static constexpr qint64 defaultTailBytes = 512 * 1024;

    explicit FileLogFollower(qint64 tailBytes = defaultTailBytes, QObject* parent = nullptr);
    ~FileLogFollower() override;

    void follow(const QString& path) override;
    void stop() override;

    // Where a read left off: the file's identity and the offset after the last byte read.
    struct Position {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 offset = 0;
        bool operator==(const Position&) const = default;
    };
    struct Result {
        LogRead read;
        Position position;
    };
    // One read of `path` from `from` (nothing: from the start), on any thread.
    static Result readFrom(const QString& path, const std::optional<Position>& from, qint64 tailBytes);

private:
    void readNow();
    void watch();

    qint64 m_tailBytes;
    QString m_path;
    std::unique_ptr<QFileSystemWatcher> m_watcher;
    std::optional<Position> m_position; // nothing: the next read starts afresh
    bool m_reading = false;
    bool m_readAgain = false;
    quint64 m_generation = 0; // a read begun before the last follow or stop is not told
};

} // namespace corvane
