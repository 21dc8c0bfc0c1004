#pragma once

#include <QString>

namespace corvane {

// Folders only this user may change. Another account that can write in a folder Kestrin works in can
// rename what Kestrin made there and put its own in its place.

// Whether accounts other than the owner may write in `folder` (true too when it cannot be read).
bool othersMayWriteIn(const QString& folder);

// Whether `folder` is a real folder (not a link) of this user's that nobody else may enter or write in.
bool isPrivateFolder(const QString& folder);

// Makes `folder` where it is missing and narrows it to this user alone, whatever the umask made it;
// whether it is private after. A link, a file or another account's folder is never narrowed.
bool makePrivateFolder(const QString& folder);

} // namespace corvane
