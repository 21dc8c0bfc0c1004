#include "WelcomeLaunch.h"

namespace corvane::WelcomeLaunch {

bool shouldAutoOpen(bool welcomeCompleted, const Environment& environment) {
    return !welcomeCompleted && environment.value(suppressVariable.toString()) != u"1";
}

} // namespace corvane::WelcomeLaunch
