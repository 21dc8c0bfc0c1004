#include "MenuStatus.h"

#include <corvane/status/MenuWords.h>
#include <corvane/support/Overloaded.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

MenuStatus MenuStatus::from(const ServerState& state, const std::optional<QString>& setupProblem, int port) {
    if (setupProblem)
        return {.headline = u"PROBLEM"_s, .lamp = ReadoutLamp::waiting, .sentence = *setupProblem};
    return std::visit(Overloaded{
                          [&](const ServerState::Running& running) {
                              return MenuStatus{
                                  .headline = u"ON"_s,
                                  .lamp = ReadoutLamp::live,
                                  .detail = {u"PORT %1"_s.arg(port), u"PROCESS %1"_s.arg(running.pid)}};
                          },
                          [](const ServerState::Stopped&) {
                              return MenuStatus{.headline = u"OFF"_s,
                                                .lamp = ReadoutLamp::off,
                                                .sentence = MenuWords::offSentence.toString()};
                          },
                          [](const ServerState::Starting&) {
                              return MenuStatus{.headline = u"STARTING"_s, .lamp = ReadoutLamp::working};
                          },
                          [](const ServerState::Failed& failed) {
                              return MenuStatus{.headline = u"PROBLEM"_s,
                                                .lamp = ReadoutLamp::waiting,
                                                .sentence = failed.failure.message()};
                          },
                      },
                      state.value());
}

} // namespace corvane
