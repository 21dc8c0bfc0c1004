#pragma once

#include <QProcess>

#include <memory>

namespace corvane {

// Lets go of a process that may still be running without waiting for it: the application keeps the
// QProcess until the program ends (so it is reaped), then deletes it.
void releaseUntilFinished(std::unique_ptr<QProcess> process);

} // namespace corvane
