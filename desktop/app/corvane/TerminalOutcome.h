#pragma once

#include <QString>

namespace corvane {

// What a command of one of the terminal's screens did.
struct TerminalOutcome {
    enum class Next {
        nothing,
        readFirst,  // the screen's setting is being read; the command is to be given again once it is
        askConsent, // the next line answers the question just printed
    };
    bool known = false; // false: the screen has no such command
    Next next = Next::nothing;
    QString problem; // why the command was refused, said with the commands' help
    QString text;    // what the command asked to read

    static constexpr QStringView stillSaving =
        u"A change is still being saved; type it again once it is done.";
};

} // namespace corvane
