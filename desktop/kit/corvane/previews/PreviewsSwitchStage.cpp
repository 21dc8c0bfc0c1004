#include "PreviewsSwitchStage.h"

#include <corvane/previews/LivePreviewsWords.h>
#include <corvane/support/Overloaded.h>

namespace corvane {

bool PreviewsSwitchStage::switchShowsOn() const {
    if (const auto* ready = std::get_if<Ready>(&value))
        return ready->enabled;
    if (const auto* saving = std::get_if<Saving>(&value))
        return saving->enabled;
    return false;
}

std::optional<PreviewsSwitchStage::StatusLine> PreviewsSwitchStage::statusLine() const {
    return std::visit(Overloaded{
                          [](const Loading&) -> std::optional<StatusLine> { return std::nullopt; },
                          [](const Ready& ready) -> std::optional<StatusLine> {
                              if (!ready.problem)
                                  return std::nullopt;
                              return StatusLine{ReadoutLamp::waiting, *ready.problem};
                          },
                          [](const Saving&) -> std::optional<StatusLine> {
                              return StatusLine{ReadoutLamp::working, LivePreviewsWords::saving.toString()};
                          },
                          [](const Unavailable& unavailable) -> std::optional<StatusLine> {
                              return StatusLine{ReadoutLamp::waiting, unavailable.message};
                          },
                      },
                      value);
}

} // namespace corvane
