#pragma once

#include <QIcon>

namespace corvane {

// Kestrin's eyeglasses, the icon of the tray and of the application, drawn from its SVG at any size.
QIcon kestrinIcon();

} // namespace corvane
