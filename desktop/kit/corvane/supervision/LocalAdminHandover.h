#pragma once

#include <corvane/supervision/LocalAdminSecret.h>
#include <corvane/support/UniqueFd.h>

#include <QString>

#include <expected>

class QDebug;

namespace corvane::LocalAdminHandover {

struct HandoverError {
    qint32 code = 0; // the operating system's error number
    QString description() const;
    bool operator==(const HandoverError&) const = default;
};

// Writes the secret's line to the server's standard-input pipe and closes it, so the server sees end of
// file right after the line. A server that has already gone away is an EPIPE error, never a signal.
std::expected<void, HandoverError> write(const LocalAdminSecret& secret, UniqueFd handle);

} // namespace corvane::LocalAdminHandover
