#pragma once

#include <corvane/welcome/DeveloperTools.h>

#include <QStringView>

// The words of the welcome's developer-tools step. On this system the tools are the distribution's
// git, so the words name neither a vendor nor its installer; what the person is asked to do depends on
// what the tools can be installed with.
namespace corvane::DeveloperToolsWords {

inline constexpr QStringView title = u"Get this computer ready";
inline constexpr QStringView why =
    u"The AI uses free developer tools — like git, which keeps track of every change it makes. This "
    u"computer doesn’t have git yet, and without it the AI stops mid-task.";
inline constexpr QStringView installLabel = u"install git";
inline constexpr QStringView installAgainLabel = u"install again";

QStringView whatToClick(DeveloperToolsInstaller installer);
QStringView status(DeveloperToolsStage stage, DeveloperToolsInstaller installer);

} // namespace corvane::DeveloperToolsWords
