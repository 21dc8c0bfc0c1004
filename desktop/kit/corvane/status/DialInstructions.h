#pragma once

#include <corvane/setup/SetupInfo.h>

#include <QString>
#include <QStringList>

#include <concepts>
#include <variant>

class QDebug;

namespace corvane {

// How the phone reaches this computer, or why it cannot yet.
class DialInstructions {
public:
    // An address the phone can type, and others that also work.
    struct Dial {
        QString primary;
        QStringList alternates;
        bool operator==(const Dial&) const = default;
    };
    // The server answers this computer only.
    struct NotAnsweringTheNetwork {
        bool operator==(const NotAnsweringTheNetwork&) const = default;
    };
    // The server answers the network, but this computer has no address on it.
    struct NoAddressYet {
        bool operator==(const NoAddressYet&) const = default;
    };
    using Case = std::variant<Dial, NotAnsweringTheNetwork, NoAddressYet>;

    template <typename Kind>
    requires std::constructible_from<Case, Kind> DialInstructions(Kind kind)
        : m_case(std::move(kind)) {}

    // The computer's name is preferred over its numeric addresses; the server's order is kept.
    static DialInstructions from(const SetupInfo& info);

    const Case& value() const { return m_case; }
    QString message() const;

    bool operator==(const DialInstructions&) const = default;

private:
    Case m_case;
};

QDebug operator<<(QDebug debug, const DialInstructions& instructions);

} // namespace corvane
