#pragma once

namespace corvane {

// One visitor made of several lambdas, for std::visit over a variant of cases.
template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};

// Spelled out for compilers that do not yet deduce aggregate arguments on their own.
template <typename... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

} // namespace corvane
