#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace corvane {

// What a follower read of a log.
struct LogRead {
    enum class Kind {
        fromStart, // the log read afresh (opened, truncated or replaced): its last part, from a whole line
        more,      // what was added since the last read
        missing,   // there is no log (yet)
    };
    Kind kind = Kind::more;
    QByteArray bytes;
    bool operator==(const LogRead&) const = default;
};

// The platform's reading of a log file: its last part, then what is added to it as it is written,
// read off the main thread, told through `read`. It watches the file only between `follow` and
// `stop`, and never polls.
class LogFollower : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void follow(const QString& path) = 0;
    virtual void stop() = 0;

Q_SIGNALS:
    void read(const corvane::LogRead& what);
};

} // namespace corvane
