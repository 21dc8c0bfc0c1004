#pragma once

#include <corvane/shell/Environment.h>
#include <corvane/shell/InfoDictionary.h>

#include <QString>
#include <QStringView>

// Where Google's platform tools come from, and the words of asking to fetch them.
namespace corvane::AdbDownload {

// Google's SDK repository: its manifest lists each platform-tools archive with its digest. A test
// copy points elsewhere with this variable (a base address ending in "/").
inline constexpr QStringView repositoryVariable = u"CORVANE_PLATFORM_TOOLS_REPOSITORY";
inline constexpr QStringView defaultRepository = u"https://dl.google.com/android/repository/";

// Where this copy fetches from: Google's repository, unless it is a test copy whose environment names
// another over https, or over http on localhost. Any other copy ignores the variable, so that no
// one can point a person's Kestrin at a helper of their own through its environment.
QString repository(const InfoDictionary& info, const Environment& environment);
inline constexpr QStringView manifestName = u"repository2-1.xml";
inline constexpr QStringView licenseUrl = u"https://developer.android.com/studio/terms";

inline constexpr QStringView consentTitle = u"Kestrin needs a small helper from Google";
inline constexpr QStringView consentBody =
    u"To put Kestrin onto your glasses, this computer needs a small helper program that Google makes for "
    u"talking to Android devices over a cable. It's about 16 MB and it downloads straight from Google.\n\n"
    u"It's kept in Kestrin's own folder, it's only used while your glasses are plugged in, and you can "
    u"remove it whenever you like from this window.";
inline constexpr QStringView consentAcceptLabel = u"Get it from Google";
inline constexpr QStringView consentDeclineLabel = u"Not now";
inline constexpr QStringView licenseLinkLabel = u"Google's terms for this helper";
// Google's helper is made for x86-64 alone; elsewhere the system's own adb is the way.
bool helperRunsHere();
inline constexpr QStringView notForThisProcessor =
    u"Google's helper doesn't run on this computer's processor.";
inline constexpr QStringView installTheSystemsAdb =
    u"Install your system's adb (on Debian: sudo apt install adb), then press Try again.";
inline constexpr QStringView declinedMessage =
    u"No problem. Kestrin can't set up your glasses without it, so nothing has changed on them — come "
    u"back to this when you're ready.";

} // namespace corvane::AdbDownload
