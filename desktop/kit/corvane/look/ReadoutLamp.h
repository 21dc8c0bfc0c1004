#pragma once

#include <QString>

namespace corvane {

// The lamp beside a readout value: `live` asks the person to act on it now, `working` is in progress,
// `waiting` is missing or failed and waits for the person, `ok` is settled, `off` has nothing to show.
enum class ReadoutLamp { live, working, waiting, ok, off };

// One line of a readout: an upper-case label, its value and its lamp.
struct ReadoutRow {
    QString name;
    QString value;
    ReadoutLamp lamp = ReadoutLamp::off;

    bool operator==(const ReadoutRow&) const = default;
};

} // namespace corvane
