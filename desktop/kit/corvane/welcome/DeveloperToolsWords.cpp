#include "DeveloperToolsWords.h"

namespace corvane::DeveloperToolsWords {

QStringView status(DeveloperToolsStage stage) {
    switch (stage) {
    case DeveloperToolsStage::checking:
        return u"Checking for the developer tools…";
    case DeveloperToolsStage::ready:
        return u"The developer tools are ready.";
    case DeveloperToolsStage::missing:
        return u"The developer tools aren’t installed.";
    case DeveloperToolsStage::installing:
        return u"The installer is running — carry on, the light turns green when it’s done.";
    case DeveloperToolsStage::installerClosed:
        return u"The installer closed before the tools arrived — install again whenever you’re ready.";
    }
    return {};
}

} // namespace corvane::DeveloperToolsWords
