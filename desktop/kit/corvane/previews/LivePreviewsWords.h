#pragma once

#include <QStringView>

#include <array>

// What the live-previews switch and its consent sheet say. The feature runs the person's own program,
// so the sheet says plainly what that program can and cannot reach before anything is turned on.
namespace corvane::LivePreviewsWords {

inline constexpr QStringView label = u"Live previews";
inline constexpr QStringView compactLabel = u"Live previews: your app on your glasses";
inline constexpr QStringView silk = u"your app on your glasses";
inline constexpr QStringView summary =
    u"Runs your app in a sandbox on this computer and shows it beside the chat on your glasses.";
inline constexpr QStringView compactNote =
    u"Runs your app in a sandbox on this computer. Before it turns on, "
    u"you'll see everything it can and can't do.";
inline constexpr QStringView readMoreLabel = u"What it can and can't do";

inline constexpr QStringView consentTitle = u"Turn on live previews?";
inline constexpr std::array<QStringView, 8> explanation{
    u"When you or Claude start your app, Kestrin runs it here on this computer and shows it beside the chat "
    u"on your glasses.",
    u"It runs in a sandbox: it can change files only in its project folder and a few temporary and log "
    u"folders — never the project's Claude, Codex or git settings — and the app itself can't reach the "
    u"internet. While it's on your glasses, its page can reach the internet.",
    u"Like any program you run, it can read most of your files — your other projects too, and other apps' "
    u"settings, which can hold their sign-ins.",
    u"It can't read your keyring (where your desktop keeps passwords), your SSH, GPG and Amazon Web "
    u"Services keys, or Kestrin's own secrets.",
    u"It can talk to other programs on this computer that don't ask for a password.",
    u"It keeps running until you stop it, close its conversation or leave it 8 hours without its preview "
    u"open on connected glasses — or until Kestrin on this computer stops.",
    u"The preview travels over your home Wi-Fi like everything else Kestrin shows, so someone who can read "
    u"your Wi-Fi traffic could see your app and use it.",
    u"Switching it off stops every app it started and closes its previews.",
};
inline constexpr QStringView consentNo = u"Not now";
inline constexpr QStringView consentYes = u"Turn on";
inline constexpr QStringView closeLabel = u"Close";

inline constexpr QStringView saving = u"Saving…";
inline constexpr QStringView notRunning = u"Start Kestrin to change this — it isn't running right now.";
inline constexpr QStringView didNotTake = u"That change didn't take. The switch shows what is in effect.";

} // namespace corvane::LivePreviewsWords
