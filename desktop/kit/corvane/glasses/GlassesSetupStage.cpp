#include "GlassesSetupStage.h"

#include <corvane/glasses/AdbDownload.h>
#include <corvane/support/Overloaded.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

bool GlassesSetupStage::isBusy() const {
    return std::holds_alternative<Checking>(value) || std::holds_alternative<FetchingTool>(value) ||
           std::holds_alternative<Installing>(value) || std::holds_alternative<Connecting>(value);
}

bool GlassesSetupStage::offersRetry() const {
    if (const auto* finished = std::get_if<Finished>(&value))
        return std::holds_alternative<GlassesSetupResult::InstalledButCannotReach>(finished->result.value);
    return std::holds_alternative<Blocked>(value) || std::holds_alternative<Stopped>(value) ||
           std::holds_alternative<Failed>(value);
}

QString GlassesSetupStage::headline() const {
    return std::visit(
        Overloaded{
            [](const Idle&) { return u"Set up your glasses"_s; },
            [](const Checking&) { return u"Looking for your glasses…"_s; },
            [](const AskingToFetchTool&) { return AdbDownload::consentTitle.toString(); },
            [](const FetchingTool&) { return u"Getting a helper from Google…"_s; },
            [](const Blocked& blocked) { return blocked.reason; },
            [](const Installing& installing) {
                return std::visit(Overloaded{
                                      [](const InstallBecause::NotInstalled&) {
                                          return u"Putting Kestrin on your glasses…"_s;
                                      },
                                      [](const InstallBecause::CannotUpdateItself&) {
                                          return u"Repairing Kestrin on your glasses…"_s;
                                      },
                                      [](const InstallBecause::NewerAvailable&) {
                                          return u"Updating Kestrin on your glasses…"_s;
                                      },
                                  },
                                  installing.because.value);
            },
            [](const Connecting&) { return u"Waiting for your glasses to connect…"_s; },
            [](const Finished& finished) {
                return std::visit(
                    Overloaded{
                        [](const GlassesSetupResult::AlreadySetUp&) {
                            return u"Your glasses are already set up."_s;
                        },
                        [](const GlassesSetupResult::InstalledButCannotReach&) {
                            return u"Kestrin is on your glasses, but they can't reach this computer yet."_s;
                        },
                        [](const auto&) { return u"Your glasses are ready."_s; },
                    },
                    finished.result.value);
            },
            [](const Stopped& stopped) { return stopped.message; },
            [](const Failed& failed) { return failed.message; },
        },
        value);
}

std::optional<QString> GlassesSetupStage::detail() const {
    using Detail = std::optional<QString>;
    return std::visit(
        Overloaded{
            [](const Idle&) -> Detail {
                return u"Plug your glasses into this computer and Kestrin will do the rest."_s;
            },
            [](const Checking&) -> Detail { return u"Keep them plugged in."_s; },
            [](const AskingToFetchTool&) -> Detail { return AdbDownload::consentBody.toString(); },
            [](const FetchingTool&) -> Detail { return u"This only happens once."_s; },
            [](const Blocked& blocked) -> Detail { return blocked.whatToDo; },
            [](const Installing& installing) -> Detail {
                return std::visit(Overloaded{
                                      [](const InstallBecause::NotInstalled&) -> Detail {
                                          return u"Keep them plugged in — this takes about a minute."_s;
                                      },
                                      [](const InstallBecause::CannotUpdateItself&) -> Detail {
                                          return u"They can't currently get their own updates. Putting it on "
                                                 u"again fixes that for "
                                                 u"good. Nothing you've done on them will be lost."_s;
                                      },
                                      [](const InstallBecause::NewerAvailable& newer) -> Detail {
                                          return u"Bringing them up to version "_s + newer.to + u'.';
                                      },
                                  },
                                  installing.because.value);
            },
            [](const Connecting& connecting) -> Detail {
                return connecting.wifiOff ? u"Their wi-fi is off — wake them up so they can join it."_s
                                          : u"This usually takes a few seconds."_s;
            },
            [](const Finished& finished) -> Detail {
                return std::visit(
                    Overloaded{
                        [](const GlassesSetupResult::Installed& installed) -> Detail {
                            return u"Kestrin "_s + installed.version +
                                   u" is on your glasses, and they'll keep themselves up to date from now on."_s;
                        },
                        [](const GlassesSetupResult::InstalledWithoutSilentUpdates& installed) -> Detail {
                            return u"Kestrin "_s + installed.version +
                                   u" is on your glasses and ready to use. One thing to know: your glasses "
                                   u"wouldn't "
                                   u"let the app take charge of its own updates, so when a new version comes "
                                   u"along "
                                   u"they'll ask you before installing it. Watch for that on the lens."_s;
                        },
                        [](const GlassesSetupResult::AlreadySetUp& already) -> Detail {
                            if (!already.version)
                                return std::nullopt;
                            return u"They're on version "_s + *already.version +
                                   u" and will update themselves."_s;
                        },
                        [](const GlassesSetupResult::InstalledButCannotReach& cannot) -> Detail {
                            return cannot.reason + u' ' + cannot.whatToDo;
                        },
                    },
                    finished.result.value);
            },
            [](const Stopped&) -> Detail { return std::nullopt; },
            [](const Failed&) -> Detail { return std::nullopt; },
        },
        value);
}

} // namespace corvane
