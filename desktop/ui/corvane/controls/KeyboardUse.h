#pragma once

class QAbstractButton;
class QKeyEvent;
class QWidget;

namespace corvane::KeyboardUse {

// Whether the person is working from the keyboard: from any key press to the next press of a pointer
// button or a touch. While it is, the focus is shown wherever it is (after Tab, and as much after a
// window opens, the panel reopens or a focused key hides), so that the next Space never presses a key
// the person did not see.
bool active();

// Whether `control` should show that it has the focus now.
bool showsFocus(const QWidget& control);

// Puts the focus on the first control of `window` in the order Tab goes, passing over those inside
// `except` (a top bar's close key): a screen opens with the focus where the person's work starts, and a
// screen reader says where that is. A control the screen placed the focus on itself (an alert's hot
// key), or where the person left it last time, keeps it. Nothing when `window` has no control.
void focusFirstControl(QWidget& window, const QWidget* except = nullptr);

// Starts watching the application's input (once; every focusable control calls it). From then on,
// Return and Enter press the focused key, switch, option or link, as Space does; a screen's default
// key answers Return only when the focus is on no control.
void watch();

} // namespace corvane::KeyboardUse
