#pragma once

#include <corvane/look/ReadoutLamp.h>

#include <QString>

#include <optional>
#include <variant>

namespace corvane {

// What the live-previews switch knows of the server's setting.
struct PreviewsSwitchStage {
    // Not read yet.
    struct Loading {
        bool operator==(const Loading&) const = default;
    };
    // The setting in effect, and what went wrong with the last change, if it did.
    struct Ready {
        bool enabled = false;
        std::optional<QString> problem;
        bool operator==(const Ready&) const = default;
    };
    // A change is on its way; the value in effect when it began, not the one asked for.
    struct Saving {
        bool enabled = false;
        bool operator==(const Saving&) const = default;
    };
    // The setting could not be read.
    struct Unavailable {
        QString message;
        bool operator==(const Unavailable&) const = default;
    };

    std::variant<Loading, Ready, Saving, Unavailable> value = Loading{};
    bool operator==(const PreviewsSwitchStage&) const = default;

    // The switch shows what is in effect, and while a change saves, what was in effect before it.
    bool switchShowsOn() const;
    // Only a known setting with no change under way can be changed.
    bool switchIsEnabled() const { return std::holds_alternative<Ready>(value); }

    // The line under the switch: a lamp and a sentence, or nothing while reading or when all is well.
    struct StatusLine {
        ReadoutLamp lamp;
        QString text;
        bool operator==(const StatusLine&) const = default;
    };
    std::optional<StatusLine> statusLine() const;
};

} // namespace corvane
