#pragma once

#include <corvane/shell/Environment.h>
#include <corvane/shell/InfoDictionary.h>

#include <QStringView>
#include <QUrl>

namespace corvane::TestCopyEnvironment {

inline constexpr QStringView bundleIdentifier = u"com.mossgate.corvane.mac.updatetest";
inline constexpr QStringView infoKey = u"CVTestCopyEnvironment";
inline constexpr QStringView variablePrefix = u"CORVANE_";

bool isTestCopy(const InfoDictionary& info);

// Whether this copy may fetch from `address`: https with a host anywhere; plain http only in a test
// copy, and only from "localhost" (its test servers).
bool allowsAddress(const QUrl& address, const InfoDictionary& info);

// The variables a test copy adds: prefixed names with string values that the environment does not
// already have (an existing variable always wins, even an empty one).
Environment additions(const InfoDictionary& info, const Environment& environment);

// Sets each addition in this process's environment, never overwriting.
void apply(const InfoDictionary& info);

} // namespace corvane::TestCopyEnvironment
