#pragma once

// An adb for tests: answers each command line from a script kept by the test, and writes down every
// command line it was given. A command line the script does not know answers with nothing and exit 0.
// What a command types at the device's shell is written down after its words and " < ", and answered
// as the words "shell" and the typed line would be.

#include <corvane/glasses/AdbRunner.h>

#include <QHash>
#include <QList>
#include <QStringList>

#include <expected>

class ScriptedAdb final : public corvane::AdbRunner {
public:
    using Answer = std::expected<corvane::AdbResult, QString>;

    // Answers for the command lines that begin with `prefix` (words joined by spaces), used in turn; the
    // last one stays.
    void answer(const QString& prefix, QList<Answer> answers) { m_script.insert(prefix, std::move(answers)); }

    QStringList commands;             // each as its words joined by spaces
    QList<QStringList> argumentLists; // each command's arguments, as a process list would show them

    QCoro::Task<std::expected<corvane::AdbResult, QString>> runWithInput(corvane::AdbCommand command) override {
        argumentLists.append(command.arguments);
        const QString typed = QString::fromUtf8(command.input).trimmed();
        commands.append(typed.isEmpty() ? command.arguments.join(u' ')
                                        : command.arguments.join(u' ') + QStringLiteral(" < ") + typed);
        const QString line = typed.isEmpty() ? command.arguments.join(u' ')
                                             : (command.arguments + QStringList{typed}).join(u' ');
        QString longest;
        for (auto entry = m_script.cbegin(); entry != m_script.cend(); ++entry)
            if (line.startsWith(entry.key()) && entry.key().size() > longest.size())
                longest = entry.key();
        if (longest.isEmpty())
            co_return corvane::AdbResult{};
        QList<Answer>& answers = m_script[longest];
        co_return answers.size() > 1 ? answers.takeFirst() : answers.first();
    }

private:
    QHash<QString, QList<Answer>> m_script;
};
