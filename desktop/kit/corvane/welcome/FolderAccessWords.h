#pragma once

#include <QStringView>

// The words of the welcome's folder step. This system asks no questions of its own when a program
// opens a folder, so Kestrin looks whether it can read each one, and says how to let it in.
namespace corvane::FolderAccessWords {

inline constexpr QStringView panelLabel = u"let the ai use your files";
inline constexpr QStringView why =
    u"Kestrin checks once that it can open each folder, so your phone never gets stuck on one only this "
    u"computer can fix.";
inline constexpr QStringView continueLabel = u"continue";
inline constexpr QStringView askingNote =
    u"Kestrin is checking now. If it can open a folder, the AI can work in it from your phone. If not, "
    u"it stays out.";
inline constexpr QStringView deniedHelp =
    u"To change it later: give your user read access to that folder (Files → Properties → Permissions).";

} // namespace corvane::FolderAccessWords
