#pragma once

#include <QString>
#include <QStringView>

#include <expected>

namespace corvane::UnpackedCopy {

// Why an unpacked update may not be put in place: the words the person sees, and the reason for the log.
struct Refusal {
    QStringView words;
    QString why;
};

// The copy of the application an update unpacked into `into`, when it may be put in place: one real
// folder holding this application (`bundleIdentifier`), whose own version is the one the feed offered
// and newer than the running one; whose links all stay inside it, with its Contents and its kestrin
// no links at all; and whose files all belong to this user. Its modes are made safe on the way: no one
// else may write to anything in it, and nothing in it runs as another account.
std::expected<QString, Refusal> check(const QString& into, const QString& bundleIdentifier,
                                      const QString& offeredVersion, const QString& runningVersion);

} // namespace corvane::UnpackedCopy
