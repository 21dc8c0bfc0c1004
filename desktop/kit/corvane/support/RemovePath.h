#pragma once

#include <QString>

namespace corvane {

// Removes what is at `path`: a file, a link (never what it points to) or a folder with all it holds.
// Nothing there is fine; errors are ignored.
void removePath(const QString& path);

} // namespace corvane
