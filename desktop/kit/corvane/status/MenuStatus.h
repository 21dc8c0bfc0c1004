#pragma once

#include <corvane/look/ReadoutLamp.h>
#include <corvane/supervision/ServerState.h>

#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

// The headline block of the menu: one upper-case word, its lamp, a sentence and detail lines.
struct MenuStatus {
    QString headline;
    ReadoutLamp lamp = ReadoutLamp::off;
    std::optional<QString> sentence;
    QStringList detail;

    // A setup problem wins over every server state.
    static MenuStatus from(const ServerState& state, const std::optional<QString>& setupProblem, int port);

    bool operator==(const MenuStatus&) const = default;
};

} // namespace corvane
