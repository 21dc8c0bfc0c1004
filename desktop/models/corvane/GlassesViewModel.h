#pragma once

#include <corvane/glasses/GlassesReadout.h>
#include <corvane/glasses/GlassesSetup.h>
#include <corvane/support/WorkUnderWay.h>

#include <QObject>

#include <memory>
#include <optional>

namespace corvane {

// The glasses window's model: the setup's stage, published as it changes, the readout and which
// buttons apply, and the removal of the helper Kestrin downloaded. Without a glasses app inside the
// application there is no setup at all, only the packaging problem. Nothing starts by itself.
class GlassesViewModel : public QObject {
    Q_OBJECT
public:
    static constexpr QStringView packagingWords =
        u"This copy of Kestrin was built without the glasses app inside it, so it can't set your glasses up. "
        u"Reinstalling Kestrin should fix it.";

    // `flow` null: the application carries no usable glasses app.
    GlassesViewModel(std::shared_ptr<GlassesSetup> flow, std::optional<QString> applicationSupport,
                     QObject* parent = nullptr);

    const GlassesSetupStage& stage() const { return m_stage; }
    const std::optional<QString>& packagingProblem() const { return m_packagingProblem; }
    const std::optional<QString>& removalProblem() const { return m_removalProblem; }
    GlassesReadout readout() const { return GlassesReadout::from(m_stage, m_packagingProblem.has_value()); }
    bool canBegin() const;
    // Kestrin's own downloaded adb is on disk (or a display-only model says so).
    bool hasHelper() const;
    // The removal button applies: a helper to remove, and no setup under way or asking.
    bool offersRemoval() const;

    void begin();
    void confirmFetch();
    void declineFetch();
    void reset();
    void removeHelper();
    // The application is quitting: a setup waiting for the glasses to connect stops waiting.
    void windDown() {
        if (m_flow)
            m_flow->windDown();
    }
    // A display-only model for pictures: a fixed stage, and whether a helper is on disk.
    void showFixed(const GlassesSetupStage& stage, bool hasHelper);
    // Ends when no setup step is under way.
    QCoro::Task<> settled() const { return m_work.settled(); }

Q_SIGNALS:
    void changed();

private:
    std::shared_ptr<GlassesSetup> m_flow;
    std::optional<QString> m_applicationSupport;
    GlassesSetupStage m_stage;
    std::optional<QString> m_packagingProblem;
    std::optional<QString> m_removalProblem;
    bool m_isPreview = false; // a display-only model: its actions do nothing
    std::optional<bool> m_previewHasHelper;
    WorkUnderWay m_work;
};

} // namespace corvane
