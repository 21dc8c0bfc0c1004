#pragma once

#include <QObject>

namespace corvane {

// Whether the desktop asks for less motion, for every moving control at once: while it does, a key
// press, a toggle's slide and a gauge jump to where they end, and a working lamp holds still at full
// strength.
class ReducedMotion : public QObject {
    Q_OBJECT
public:
    static ReducedMotion& instance();

    bool isOn() const { return m_on; }
    void set(bool on);

Q_SIGNALS:
    void changed(bool on);

private:
    using QObject::QObject;
    bool m_on = false;
};

} // namespace corvane
