#pragma once

#include <functional>

namespace corvane::AppQuit {

// The one way any part of the application asks to quit. The action runs from the main event loop, so
// a request made while a menu is open, or from a signal, is handled the same way.
void request(std::function<void()> action);

// What a request does when no action is given: the held quit of the running application.
void setDefaultAction(std::function<void()> action);
void request();

} // namespace corvane::AppQuit
