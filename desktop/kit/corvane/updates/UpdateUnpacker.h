#pragma once

#include <QString>
#include <qcorotask.h>

#include <expected>

namespace corvane {

// Expands a downloaded update's archive, whole, into a folder; answers why it failed, if it did.
class UpdateUnpacker {
public:
    virtual ~UpdateUnpacker() = default;
    virtual QCoro::Task<std::expected<void, QString>> unpack(QString archive, QString into) = 0;
};

} // namespace corvane
