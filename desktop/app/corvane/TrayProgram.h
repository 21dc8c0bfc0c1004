#pragma once

#include <QString>

#include <string>

namespace corvane::TrayProgram {

// kestrin-tray, beside kestrin: Kestrin with its windows. kestrin itself never links the toolkit, so a
// run in the terminal does not carry it.
inline constexpr char fileName[] = "kestrin-tray";
inline constexpr char launcherFileName[] = "kestrin";

// Replaces this process with the tray's program beside this one's file, with the same arguments and
// environment (and the same process id, which a service manager or a test may be following). Comes
// back only when that failed, with the system's reason.
std::string replaceThisProcess(char* argv[]);

// The program to start Kestrin with, from the running one's file: kestrin, also when the running one is
// the tray's program that kestrin handed over to.
QString launcherPath(const QString& applicationFilePath);

} // namespace corvane::TrayProgram
