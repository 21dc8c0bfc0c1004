#pragma once

#include <qcorotask.h>

#include <memory>

namespace corvane {

// Runs `work` to its end with `owner` kept alive: a request under way may outlive the model that
// started it, and the flow it reports to must still be there when the answer comes.
template <typename Owner>
QCoro::Task<> keptAlive([[maybe_unused]] std::shared_ptr<Owner> owner, QCoro::Task<> work) {
    co_await std::move(work);
}

} // namespace corvane
