#pragma once

#include <QObject>

namespace corvane {

// Whether the person has asked their desktop for less motion on screen (for comfort, or to be less
// distracted). Read at start, and followed while Kestrin runs.
class MotionPreference : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool reduced() const = 0;

Q_SIGNALS:
    void changed(bool reduced);
};

} // namespace corvane
