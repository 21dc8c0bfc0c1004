#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace corvane {

// What a command of one of the terminal's screens did.
struct TerminalOutcome {
    enum class Next {
        nothing,
        readFirst, // the screen's setting is being read; the command is to be given again once it is
    };
    // A yes-or-no question the next line answers: yes only for "yes".
    struct Question {
        QString prompt;
        std::function<void(bool yes)> answer;
    };
    bool known = false; // false: the screen has no such command
    Next next = Next::nothing;
    QString problem; // why the command was refused, said with the commands' help
    QString text;    // what the command asked to read, or what the question is about
    std::optional<Question> question;

    static constexpr QStringView stillSaving =
        u"A change is still being saved; type it again once it is done.";
};

} // namespace corvane
