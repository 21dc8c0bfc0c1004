#pragma once

#include <corvane/glasses/GlassesSetupStage.h>
#include <corvane/look/ReadoutLamp.h>

#include <QString>

namespace corvane {

// The glasses setup in one upper-case word with its lamp; `lit` when the glasses are ready.
struct GlassesReadout {
    QString word;
    ReadoutLamp lamp = ReadoutLamp::off;
    bool lit = false;

    static GlassesReadout from(const GlassesSetupStage& stage, bool packagingProblem);
    bool operator==(const GlassesReadout&) const = default;
};

} // namespace corvane
