#include "DeveloperToolsWords.h"

namespace corvane::DeveloperToolsWords {

namespace {

// What the step says for each installer where the installer makes a difference.
struct InstallerWords {
    QStringView whatToClick;
    QStringView missing;
    QStringView installing;
    QStringView closed;
};

// A software centre may stay running after its window closes, so while it runs its words only say what
// is awaited. With no installer the model starts no install; its words for one are there all the same.
InstallerWords wordsOf(DeveloperToolsInstaller installer) {
    switch (installer) {
    case DeveloperToolsInstaller::packageKit:
        return {u"It installs in the background while you finish setting up. Your system will ask for your "
                u"password to install software — enter it, then carry on.",
                u"The developer tools aren’t installed.",
                u"The installer is running — carry on, the light turns green when it’s done.",
                u"The installer closed before the tools arrived — install again whenever you’re ready."};
    case DeveloperToolsInstaller::softwareCentre:
        return {u"Your software centre opens with a search for git — install git from there, then carry on.",
                u"The developer tools aren’t installed.",
                u"Waiting for git from your software centre — carry on, the light turns green once it’s "
                u"installed.",
                u"The software centre closed before git arrived — install again whenever you’re ready."};
    case DeveloperToolsInstaller::none:
        break;
    }
    return {
        u"Kestrin can’t install software on this computer — install git with your system’s package "
        u"manager, then the light turns green.",
        u"The developer tools aren’t installed — install git with your system’s package manager.",
        u"Waiting for git — carry on, the light turns green once it’s installed.",
        u"The install stopped before the tools arrived — install git with your system’s package manager."};
}

} // namespace

QStringView whatToClick(DeveloperToolsInstaller installer) {
    return wordsOf(installer).whatToClick;
}

QStringView status(DeveloperToolsStage stage, DeveloperToolsInstaller installer) {
    switch (stage) {
    case DeveloperToolsStage::checking:
        return u"Checking for the developer tools…";
    case DeveloperToolsStage::ready:
        return u"The developer tools are ready.";
    case DeveloperToolsStage::missing:
        return wordsOf(installer).missing;
    case DeveloperToolsStage::installing:
        return wordsOf(installer).installing;
    case DeveloperToolsStage::installerClosed:
        break;
    }
    return wordsOf(installer).closed;
}

} // namespace corvane::DeveloperToolsWords
