#pragma once

#include <QIcon>

namespace corvane {

// Kestrin's eyeglasses, the icon of the tray and of the application, painted at any size. The desktop
// entry's SVG draws the same figure; painting it here keeps the SVG engine out of a running Kestrin.
QIcon kestrinIcon();

} // namespace corvane
