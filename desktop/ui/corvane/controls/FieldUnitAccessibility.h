#pragma once

#include <functional>

class QWidget;

namespace corvane::FieldUnitAccessibility {

// What a screen reader hears of the painted look: Kestrin's windows and the tray panel as windows named
// by their titles, the printed captions (silk), the display cells and the worded lamps as labels, the
// gauge as a progress bar. Installed once, before the first window shows.
void install();

// Marks `key` as the one that shows and hides a part of its screen: a screen reader hears it as
// expandable, and whether the part is shown now.
void setExpands(QWidget& key, bool expanded);

// Says `widget`'s words to a screen reader now, though the focus is elsewhere: for words that come on
// their own (a refused change, a failed sign-in, a new stage of the glasses' setup). Nothing is said of
// a widget that is not on screen.
void announce(QWidget& widget);

// Hears every announcement before it goes out (with no listener, none is heard here): for the tests,
// whose offscreen platform has no screen reader to tell.
void setAnnouncementListener(std::function<void(QWidget&)> listener);

} // namespace corvane::FieldUnitAccessibility
