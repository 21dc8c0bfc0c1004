#pragma once

#include <corvane/setup/PairedDevice.h>

#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace corvane {

// The welcome's steps, in order.
enum class WelcomeStep { tools = 0, folder = 1, agent = 2, phone = 3, done = 4 };

// What the welcome knows of the setup.
struct WelcomeFacts {
    bool folderChosen = false;          // the server has a project folder
    bool agentSignedIn = false;         // Claude or Codex is signed in
    bool phonePaired = false;           // a paired device other than the glasses
    bool developerToolsSettled = false; // the tools are there or on their way
    bool folderAccessSettled = false;   // every protected folder answered, or the person declined
    bool operator==(const WelcomeFacts&) const = default;
};

namespace WelcomeFlow {

inline constexpr std::array allSteps{WelcomeStep::tools, WelcomeStep::folder, WelcomeStep::agent,
                                     WelcomeStep::phone, WelcomeStep::done};

std::optional<WelcomeStep> fromRawValue(int raw);
std::optional<WelcomeStep> next(WelcomeStep step);

// The devices that are phones, in their order: every one but the glasses.
QList<PairedDevice> phones(const QList<PairedDevice>& devices);

bool isComplete(WelcomeStep step, const WelcomeFacts& facts);
// Where the welcome lands: the first step not yet settled.
WelcomeStep firstIncompleteStep(const WelcomeFacts& facts);
// The step after `step`, passing over those already settled elsewhere; never the tools.
WelcomeStep stepAfterCompleting(WelcomeStep step, const WelcomeFacts& facts);
// "Step n of m" among the counted steps (the tools counted only when `includesTools`); none for the
// others.
std::optional<QString> progressLabel(WelcomeStep step, bool includesTools);

} // namespace WelcomeFlow

} // namespace corvane
