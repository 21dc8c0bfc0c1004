#pragma once

#include <corvane/welcome/DeveloperTools.h>

#include <QStringView>

// The words of the welcome's developer-tools step. On this system the tools are the distribution's
// git, installed through PackageKit, so the words name neither a vendor nor its installer.
namespace corvane::DeveloperToolsWords {

inline constexpr QStringView title = u"Get this computer ready";
inline constexpr QStringView why =
    u"The AI uses free developer tools — like git, which keeps track of every change it makes. This "
    u"computer doesn’t have git yet, and without it the AI stops mid-task.";
inline constexpr QStringView whatToClick =
    u"It installs in the background while you finish setting up. Your system will ask for your "
    u"password to install software — enter it, then carry on.";
inline constexpr QStringView installLabel = u"install git";
inline constexpr QStringView installAgainLabel = u"install again";

QStringView status(DeveloperToolsStage stage);

} // namespace corvane::DeveloperToolsWords
