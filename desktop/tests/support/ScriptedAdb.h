#pragma once

// An adb for tests: answers each command line from a script kept by the test, and writes down every
// command line it was given. A command line the script does not know answers with nothing and exit 0.

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

    QStringList commands; // each as its words joined by spaces

    QCoro::Task<std::expected<corvane::AdbResult, QString>> run(QStringList arguments) override {
        const QString line = arguments.join(u' ');
        commands.append(line);
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
