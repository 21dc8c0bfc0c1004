// kestrin: the terminal face itself, and the way into the tray. With a display it becomes kestrin-tray,
// the same program with windows, so that a run in the terminal never loads the toolkit.

#include <corvane/KestrinMain.h>
#include <corvane/TrayProgram.h>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (corvane::wantsTray(argc, argv)) {
        // Only comes back when the tray's program could not be started: the terminal face then runs,
        // rather than nothing.
        const std::string reason = corvane::TrayProgram::replaceThisProcess(argv);
        std::fprintf(stderr, "Kestrin could not open its tray (%s), so it runs in this terminal.\n",
                     reason.c_str());
    }
    return corvane::kestrinMain(argc, argv, nullptr);
}
