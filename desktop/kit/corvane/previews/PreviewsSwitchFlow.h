#pragma once

#include <corvane/previews/PreviewsSwitchStage.h>
#include <corvane/setup/SetupClient.h>

#include <qcorotask.h>

#include <functional>

namespace corvane {

// Reads the server's live-previews setting and changes it. A change starts only from `ready`, so a
// second one while the first saves is dropped, and the switch ends on whatever the server answers.
class PreviewsSwitchFlow {
public:
    using Outcome = std::expected<bool, SetupClientError>;
    struct Operations {
        std::function<QCoro::Task<Outcome>()> load;
        std::function<QCoro::Task<Outcome>(bool)> set;
    };

    explicit PreviewsSwitchFlow(Operations operations);
    // Over the server's setup API; `client` makes a client for each request.
    static Operations over(std::function<SetupClient()> client);

    const PreviewsSwitchStage& stage() const { return m_stage; }
    // Called with every stage set, even one equal to the last.
    std::function<void(const PreviewsSwitchStage&)> onStageChange;

    QCoro::Task<> refresh();
    QCoro::Task<> choose(bool enabled);

private:
    void setStage(PreviewsSwitchStage stage);

    Operations m_operations;
    PreviewsSwitchStage m_stage;
};

} // namespace corvane
