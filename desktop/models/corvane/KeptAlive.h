#pragma once

#include <corvane/support/WorkUnderWay.h>

#include <qcorotask.h>

#include <memory>

namespace corvane {

// Runs `work` to its end with `owner` kept alive and counted as under way: a request may outlive the
// model that started it, the flow it reports to must still be there when the answer comes, and a
// quit waits for it.
template <typename Owner>
QCoro::Task<> keptAlive([[maybe_unused]] std::shared_ptr<Owner> owner,
                        [[maybe_unused]] WorkUnderWay::Token working, QCoro::Task<> work) {
    co_await std::move(work);
}

} // namespace corvane
