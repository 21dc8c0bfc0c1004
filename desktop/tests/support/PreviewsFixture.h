#pragma once

// The live-previews switch's server side for tests: the setting the test says, each kind of answer
// held until the test lets it go, and every request written down.

#include <corvane/previews/PreviewsSwitchFlow.h>
#include <corvane/support/OneShot.h>
#include <corvane/support/Overloaded.h>

#include <QStringList>
#include <QTest>
#include <qcorotask.h>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

using PreviewsOutcome = PreviewsSwitchFlow::Outcome;
using Switch = PreviewsSwitchStage;

struct FakePreviewsServer {
    PreviewsOutcome loaded = false;
    // What a change answers; nothing: the value asked for, as a server that takes it.
    std::optional<PreviewsOutcome> changed;
    std::optional<OneShot<bool>> loadGate;
    std::optional<OneShot<bool>> changeGate;
    QStringList requests;

    static QCoro::Task<PreviewsOutcome> answer(std::optional<OneShot<bool>> gate,
                                               std::function<PreviewsOutcome()> outcome) {
        if (gate)
            co_await *gate;
        co_return outcome();
    }
    PreviewsSwitchFlow::Operations operations() {
        return {
            .load =
                [this] {
                    requests.append(u"load"_s);
                    return answer(loadGate, [this] { return loaded; });
                },
            .set =
                [this](bool enabled) {
                    requests.append(enabled ? u"set on"_s : u"set off"_s);
                    return answer(changeGate, [this, enabled] { return changed.value_or(enabled); });
                },
        };
    }
};

inline const PreviewsOutcome previewsRefused =
    std::unexpected(SetupClientError(SetupClientError::Refused{u"No."_s}));

namespace corvane {

// How a stage prints when a comparison fails.
inline char* toString(const PreviewsSwitchStage& stage) {
    const QString text = std::visit(
        Overloaded{
            [](const PreviewsSwitchStage::Loading&) { return u"loading"_s; },
            [](const PreviewsSwitchStage::Ready& ready) {
                return u"ready(%1, %2)"_s.arg(ready.enabled).arg(ready.problem.value_or(u"no problem"_s));
            },
            [](const PreviewsSwitchStage::Saving& saving) { return u"saving(%1)"_s.arg(saving.enabled); },
            [](const PreviewsSwitchStage::Unavailable& unavailable) {
                return u"unavailable(%1)"_s.arg(unavailable.message);
            },
        },
        stage.value);
    return QTest::toString(text);
}

} // namespace corvane
