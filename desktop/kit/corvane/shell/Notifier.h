#pragma once

#include <QList>
#include <QObject>
#include <QString>

namespace corvane {

// A desktop notification: its title, its words and the actions the person can pick from it.
struct Notice {
    struct Action {
        QString key;   // what `actionInvoked` says
        QString label; // what the person reads
        bool operator==(const Action&) const = default;
    };
    QString title;
    QString body;
    QList<Action> actions;
    bool operator==(const Notice&) const = default;
};

// The desktop's notifications. Each notice takes the place of the one this notifier showed last,
// rather than piling up beside it.
class Notifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void show(const Notice& notice) = 0;

Q_SIGNALS:
    // The person picked the action `key` on the notice shown last.
    void actionInvoked(const QString& key);
    // No notification server took `notice`: whoever asked shows it some other way.
    void unavailable(const corvane::Notice& notice);
};

} // namespace corvane
