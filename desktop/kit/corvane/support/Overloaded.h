#pragma once

namespace corvane {

// One visitor made of several lambdas, for std::visit over a variant of cases.
template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};

} // namespace corvane
