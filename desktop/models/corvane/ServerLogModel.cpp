#include "ServerLogModel.h"

#include <QFileInfo>

namespace corvane {

ServerLogModel::ServerLogModel(std::unique_ptr<LogFollower> follower, QString path, qsizetype limit,
                               QObject* parent)
    : QObject(parent)
    , m_follower(std::move(follower))
    , m_path(std::move(path))
    , m_tail(limit) {
    connect(m_follower.get(), &LogFollower::read, this, &ServerLogModel::take);
}

ServerLogModel::~ServerLogModel() = default;

QString ServerLogModel::folder() const {
    return QFileInfo(m_path).absolutePath();
}

void ServerLogModel::open() {
    if (m_viewers++ == 0)
        m_follower->follow(m_path);
}

void ServerLogModel::close() {
    if (m_viewers == 0 || --m_viewers > 0)
        return;
    m_follower->stop();
    m_hasRead = false;
}

QString ServerLogModel::allText() const {
    return lines().isEmpty() ? QString() : lines().join(u'\n') + u'\n';
}

QList<qsizetype> ServerLogModel::linesMatching(const QString& query) const {
    QList<qsizetype> found;
    if (query.isEmpty())
        return found;
    for (qsizetype index = 0; index < lines().size(); ++index)
        if (lines().at(index).contains(query, Qt::CaseInsensitive))
            found.append(index);
    return found;
}

void ServerLogModel::take(const LogRead& what) {
    if (!isFollowing())
        return; // a read that was under way when the last viewer left
    m_hasRead = true;
    switch (what.kind) {
    case LogRead::Kind::missing:
        m_missing = true;
        m_tail.clear();
        Q_EMIT reset();
        return;
    case LogRead::Kind::fromStart:
        m_missing = false;
        m_tail.clear();
        m_tail.append(what.bytes);
        Q_EMIT reset();
        return;
    case LogRead::Kind::more:
        m_missing = false;
        if (const QStringList lines = m_tail.append(what.bytes); !lines.isEmpty())
            Q_EMIT added(lines);
        return;
    }
}

} // namespace corvane
