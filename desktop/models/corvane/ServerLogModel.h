#pragma once

#include <corvane/supervision/LogFollower.h>
#include <corvane/supervision/LogTail.h>

#include <QObject>
#include <QStringList>

#include <memory>

namespace corvane {

// The server's log as the log window and the terminal show it: its last lines, followed while anyone
// looks (each `open` matched by a `close`), and not read at all otherwise.
class ServerLogModel : public QObject {
    Q_OBJECT
public:
    ServerLogModel(std::unique_ptr<LogFollower> follower, QString path,
                   qsizetype limit = LogTail::defaultLimit, QObject* parent = nullptr);
    ~ServerLogModel() override;

    void open();
    void close();
    bool isFollowing() const { return m_viewers > 0; }

    const QString& path() const { return m_path; }
    QString folder() const;
    // Whether the log was looked for and is not there.
    bool isMissing() const { return m_missing; }
    // Whether the first read since `open` has come.
    bool hasRead() const { return m_hasRead; }
    const QStringList& lines() const { return m_tail.lines(); }
    // The most lines kept.
    qsizetype limit() const { return m_tail.limit(); }
    QString allText() const;
    // The lines holding `query`, ignoring case; none for an empty query.
    QList<qsizetype> linesMatching(const QString& query) const;

Q_SIGNALS:
    // The lines were read afresh (or the log went away).
    void reset();
    // Whole lines were added at the end.
    void added(const QStringList& lines);

private:
    void take(const LogRead& what);

    std::unique_ptr<LogFollower> m_follower;
    QString m_path;
    LogTail m_tail;
    int m_viewers = 0;
    bool m_missing = false;
    bool m_hasRead = false;
};

} // namespace corvane
