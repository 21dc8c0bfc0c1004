#pragma once

#include <QString>

#include <concepts>
#include <variant>

class QDebug;

namespace corvane {

// How a setup request failed.
class SetupClientError {
public:
    // The server answered with a status outside 200 to 299; the text is shown to the person.
    struct Refused {
        QString text;
        bool operator==(const Refused&) const = default;
    };
    // No reply came, or no address could be built; the detail is for logs, never for the person.
    struct Unreachable {
        QString detail;
        bool operator==(const Unreachable&) const = default;
    };
    // A successful reply whose body is not the expected record.
    struct Unreadable {
        bool operator==(const Unreadable&) const = default;
    };
    using Case = std::variant<Refused, Unreachable, Unreadable>;

    static constexpr QStringView unreachableMessage = u"Kestrin could not reach the server on this computer.";
    static constexpr QStringView unreadableMessage = u"Kestrin got an answer it could not read.";

    template <typename Kind>
    requires std::constructible_from<Case, Kind> SetupClientError(Kind kind)
        : m_case(std::move(kind)) {}

    const Case& value() const { return m_case; }

    // The words the person reads for this failure.
    QString message() const;

    bool operator==(const SetupClientError&) const = default;

private:
    Case m_case;
};

QDebug operator<<(QDebug debug, const SetupClientError& error);

} // namespace corvane
