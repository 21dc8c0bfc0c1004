#include "PopupPlacement.h"

#include <algorithm>

namespace corvane::PopupPlacement {

QPoint place(const QRect& anchor, QSize popup, const QRect& available, int gap) {
    const bool iconInUpperHalf = anchor.center().y() < available.center().y();
    const int y = iconInUpperHalf ? anchor.bottom() + 1 + gap : anchor.top() - gap - popup.height();
    const int x = anchor.right() + 1 - popup.width();
    // Keep it on screen; when it cannot fit, its top left shows, where its content begins.
    const int left = std::max(available.left(), std::min(x, available.right() + 1 - popup.width()));
    const int top = std::max(available.top(), std::min(y, available.bottom() + 1 - popup.height()));
    return {left, top};
}

} // namespace corvane::PopupPlacement
