#pragma once

#include <corvane/setup/ApprovalSnapshot.h>
#include <corvane/setup/SetupClient.h>

#include <QString>
#include <QStringView>
#include <qcorotask.h>

#include <functional>
#include <optional>
#include <variant>

namespace corvane {

// What the agent-permission screen shows.
struct ApprovalScreenStage {
    // The modes in effect, and what went wrong with the last change, if it did.
    struct Ready {
        ApprovalSnapshot snapshot;
        std::optional<QString> problem;
        bool operator==(const Ready&) const = default;
    };
    // A change is on its way; the modes in effect when it began.
    struct Saving {
        ApprovalSnapshot snapshot;
        bool operator==(const Saving&) const = default;
    };
    // The modes could not be read.
    struct Unavailable {
        QString message;
        bool operator==(const Unavailable&) const = default;
    };
    // Nothing read yet.
    struct Loading {
        bool operator==(const Loading&) const = default;
    };

    std::variant<Ready, Saving, Unavailable, Loading> value = Loading{};
    bool operator==(const ApprovalScreenStage&) const = default;
};

// Reads both agents' modes and changes one at a time. A change starts only from `ready`, so a choice
// made while one saves is dropped, and whatever the server answers is what the screen shows.
class ApprovalLadderFlow {
public:
    static constexpr QStringView unavailableWords =
        u"Start Kestrin to change these — it isn't running right now.";
    static constexpr QStringView failedChangeWords =
        u"That change didn't take. The settings shown are the ones in effect.";

    using Outcome = std::expected<ApprovalSnapshot, SetupClientError>;
    struct Operations {
        std::function<QCoro::Task<Outcome>()> load;
        std::function<QCoro::Task<Outcome>(ClaudeApprovalMode)> setClaude;
        std::function<QCoro::Task<Outcome>(CodexApprovalMode)> setCodex;
    };

    explicit ApprovalLadderFlow(Operations operations);
    // Over the server's setup API; `client` makes a client for each request.
    static Operations over(std::function<SetupClient()> client);

    const ApprovalScreenStage& stage() const { return m_stage; }
    // Called with every stage set, even one equal to the last.
    std::function<void(const ApprovalScreenStage&)> onStageChange;

    QCoro::Task<> refresh();
    QCoro::Task<> choose(ClaudeApprovalMode mode);
    QCoro::Task<> choose(CodexApprovalMode mode);

private:
    void setStage(ApprovalScreenStage stage);
    // The change procedure shared by both agents; `set` is the agent's call, already made.
    QCoro::Task<> change(const ApprovalSnapshot& before, QCoro::Task<Outcome> set);

    Operations m_operations;
    ApprovalScreenStage m_stage;
};

} // namespace corvane
