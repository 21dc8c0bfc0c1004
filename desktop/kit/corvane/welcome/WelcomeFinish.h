#pragma once

#include <corvane/welcome/DeveloperTools.h>
#include <corvane/welcome/WelcomeFlow.h>

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace corvane {

// The verdict of the welcome's last screen.
enum class WelcomeFinishState { ready, almostReady, notReady };

namespace WelcomeFinish {

// What the person left undone, in order: the folder, the agent, the phone. The tools and the folder
// permissions never count here.
QList<WelcomeStep> skippedSteps(const WelcomeFacts& facts);
// Not ready with anything skipped; otherwise as the developer tools stand.
WelcomeFinishState state(const WelcomeFacts& facts, DeveloperToolsStage tools);

} // namespace WelcomeFinish

namespace WelcomeFinishWords {

QStringView headline(WelcomeFinishState state);
QStringView corner(WelcomeFinishState state);
QStringView silk(WelcomeFinishState state);
QStringView title(WelcomeFinishState state);
// What the last screen says of the developer tools; nothing once they are ready.
std::optional<QStringView> tools(DeveloperToolsStage stage);
// "Still to do: …." naming the skipped steps; nothing when none of them has a phrase.
std::optional<QString> skipped(const QList<WelcomeStep>& steps);

inline constexpr QStringView readyLede = u"Send a message from your phone — that's the whole product.";
inline constexpr QStringView whileInstalling =
    u"You can finish now: the install keeps going on its own. Once it’s done, the AI can work on your "
    u"files.";
inline constexpr QStringView goBackLabel = u"go back";

} // namespace WelcomeFinishWords

namespace WelcomeWords {

// The steps' titles; the tools step's is the developer tools' own, the last step's its verdict's.
inline constexpr QStringView folderTitle = u"Where should the AI work?";
inline constexpr QStringView agentTitle = u"Sign into your AI";
inline constexpr QStringView phoneTitle = u"Connect your phone";

inline constexpr QStringView voiceDownload =
    u"Meanwhile, Kestrin downloads its voice models once — about 450 MB from Hugging Face — so your "
    u"speech is turned into text right here on this computer.";
inline constexpr QStringView glassesLater =
    u"Have AR glasses? Set them up any time: click the eyeglasses icon in the system tray, then Set up "
    u"my glasses….";
inline constexpr QStringView livesInTray =
    u"Kestrin lives in your system tray — the eyeglasses icon. The server runs whenever this app does.";
// Where the desktop has no system tray, the panel is a window that launching Kestrin again brings back.
inline constexpr QStringView glassesLaterWithoutTray =
    u"Have AR glasses? Set them up any time: open Kestrin again, then Set up my glasses….";
inline constexpr QStringView livesWithoutTray =
    u"This desktop has no system tray, so Kestrin shows its panel in a window — open Kestrin again to "
    u"bring it back. The server runs whenever this app does.";

} // namespace WelcomeWords

} // namespace corvane
