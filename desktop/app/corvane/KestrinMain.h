#pragma once

namespace corvane {

struct GraphicalToolkit;

// Whether this run asks for the tray: nobody asked for the terminal, or only for help or the version,
// and a display server answers.
bool wantsTray(int argc, char* argv[]);

// The whole life of Kestrin, from the command line to exit, in the tray when `toolkit` is given and
// `wantsTray`, in the terminal otherwise. Answers the exit status.
int kestrinMain(int argc, char* argv[], const GraphicalToolkit* toolkit);

} // namespace corvane
