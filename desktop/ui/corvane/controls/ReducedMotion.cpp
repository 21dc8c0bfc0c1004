#include "ReducedMotion.h"

namespace corvane {

ReducedMotion& ReducedMotion::instance() {
    static ReducedMotion preference;
    return preference;
}

void ReducedMotion::set(bool on) {
    if (std::exchange(m_on, on) != on)
        Q_EMIT changed(on);
}

} // namespace corvane
