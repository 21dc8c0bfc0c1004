#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace corvane::PopupPlacement {

// Where a popup of `popup` size goes beside `anchor` (the tray icon, in screen coordinates) so that
// it lies wholly within `available` (the screen less its panels): below an icon in the upper half of
// the screen and above one in the lower half, its right edge under the icon's, then moved as little
// as it takes to be on screen. A popup larger than the screen starts at the screen's top left.
QPoint place(const QRect& anchor, QSize popup, const QRect& available, int gap = 4);

} // namespace corvane::PopupPlacement
