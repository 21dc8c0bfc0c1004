#pragma once

#include <corvane/previews/PreviewsSwitchConsent.h>
#include <corvane/support/WorkUnderWay.h>

#include <QObject>

#include <memory>

namespace corvane {

// The live-previews switch's model: the flow's stage and the consent's question, published as they
// change, whether the sheet is open only to be read, and the actions, each started at once on the main
// thread. A display-only model shows a fixed state, starts no work and ignores every action.
class PreviewsSwitchViewModel : public QObject {
    Q_OBJECT
public:
    explicit PreviewsSwitchViewModel(PreviewsSwitchFlow::Operations operations, QObject* parent = nullptr);

    const PreviewsSwitchStage& stage() const { return m_stage; }
    // The sheet asks whether to turn previews on.
    bool asking() const { return m_asking; }
    // The sheet is open only to be read ("What it can and can't do").
    bool reading() const { return m_reading; }
    bool isPreview() const { return m_isPreview; }
    void showFixed(const PreviewsSwitchStage& stage, bool asking, bool reading);

    void refresh();
    // The switch was moved: off is sent at once, on only asks.
    void choose(bool on);
    // "Turn on" in the asking sheet.
    void turnOnAfterReading();
    // The asking sheet closed without "Turn on".
    void decline();
    void setReading(bool reading);
    // Ends when no read or change is under way.
    QCoro::Task<> settled() const { return m_work.settled(); }

Q_SIGNALS:
    void changed();

private:
    // The flow and the consent built on it, shared with the requests under way, which may outlive
    // the model.
    struct Switch {
        explicit Switch(PreviewsSwitchFlow::Operations operations)
            : flow(std::move(operations))
            , consent(flow) {}
        PreviewsSwitchFlow flow;
        PreviewsSwitchConsent consent;
    };
    std::shared_ptr<Switch> m_switch;
    PreviewsSwitchStage m_stage;
    bool m_asking = false;
    bool m_reading = false;
    bool m_isPreview = false;
    WorkUnderWay m_work;
};

} // namespace corvane
