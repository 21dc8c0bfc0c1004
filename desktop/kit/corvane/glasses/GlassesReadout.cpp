#include "GlassesReadout.h"

#include <corvane/support/Overloaded.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

GlassesReadout GlassesReadout::from(const GlassesSetupStage& stage, bool packagingProblem) {
    using Stage = GlassesSetupStage;
    if (packagingProblem)
        return {u"PROBLEM"_s, ReadoutLamp::waiting, false};
    return std::visit(
        Overloaded{
            [](const Stage::Idle&) {
                return GlassesReadout{u"PLUG IN"_s, ReadoutLamp::off, false};
            },
            [](const Stage::Checking&) {
                return GlassesReadout{u"LOOKING"_s, ReadoutLamp::working, false};
            },
            [](const Stage::AskingToFetchTool&) {
                return GlassesReadout{u"NEEDS YOU"_s, ReadoutLamp::live, false};
            },
            [](const Stage::FetchingTool&) {
                return GlassesReadout{u"DOWNLOADING"_s, ReadoutLamp::working, false};
            },
            [](const Stage::Blocked&) {
                return GlassesReadout{u"NEEDS YOU"_s, ReadoutLamp::waiting, false};
            },
            [](const Stage::Installing& installing) {
                const QString action =
                    std::visit(Overloaded{
                                   [](const InstallBecause::NotInstalled&) { return u"INSTALLING"_s; },
                                   [](const InstallBecause::CannotUpdateItself&) { return u"REPAIRING"_s; },
                                   [](const InstallBecause::NewerAvailable&) { return u"UPDATING"_s; },
                               },
                               installing.because.value);
                return GlassesReadout{action, ReadoutLamp::working, false};
            },
            [](const Stage::Connecting&) {
                return GlassesReadout{u"CONNECTING"_s, ReadoutLamp::working, false};
            },
            [](const Stage::Finished& finished) {
                if (std::holds_alternative<GlassesSetupResult::InstalledButCannotReach>(
                        finished.result.value))
                    return GlassesReadout{u"NOT CONNECTED"_s, ReadoutLamp::waiting, false};
                return GlassesReadout{u"READY"_s, ReadoutLamp::live, true};
            },
            [](const Stage::Stopped&) {
                return GlassesReadout{u"STOPPED"_s, ReadoutLamp::off, false};
            },
            [](const Stage::Failed&) {
                return GlassesReadout{u"PROBLEM"_s, ReadoutLamp::waiting, false};
            },
        },
        stage.value);
}

} // namespace corvane
