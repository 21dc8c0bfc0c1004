#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace corvane::welcome {

// Asks for the folder the projects live in, with the system's folder dialog over `owner` (the welcome's
// window): the window manager keeps it there, and afterwards `owner` has the keyboard again with the
// focus back on the control that had it. The chosen folder; none when the person cancelled.
std::optional<QString> chooseProjectsFolder(QWidget* owner, const QString& startingAt);

} // namespace corvane::welcome
