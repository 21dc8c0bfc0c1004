#include "KestrinIcon.h"

namespace corvane {

QIcon kestrinIcon() {
    return QIcon(QStringLiteral(":/icons/kestrin.svg"));
}

} // namespace corvane
