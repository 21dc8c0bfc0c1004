#pragma once

// A log follower the test drives by hand: it notes what it was asked to follow and when it stopped,
// and tells the reads the test gives it.

#include <corvane/supervision/LogFollower.h>

#include <QStringList>

class HandLogFollower final : public corvane::LogFollower {
public:
    QStringList followed;
    int stops = 0;
    void follow(const QString& path) override { followed.append(path); }
    void stop() override { ++stops; }
    void tell(corvane::LogRead::Kind kind, const QByteArray& bytes = {}) { Q_EMIT read({kind, bytes}); }
};
