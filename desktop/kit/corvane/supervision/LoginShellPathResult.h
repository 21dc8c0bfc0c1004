#pragma once

#include <QDebug>
#include <QString>

#include <variant>

namespace corvane {

// What the user's login shell said its search path is.
class LoginShellPathResult {
public:
    struct Read {
        QString path; // ":"-separated absolute folders, no repeats
        bool operator==(const Read&) const = default;
    };
    struct Failed {
        bool operator==(const Failed&) const = default;
    };

    // Nothing usable is known until the shell has answered.
    LoginShellPathResult()
        : m_value(Failed{}) {}

    static LoginShellPathResult read(QString path) { return LoginShellPathResult(Read{std::move(path)}); }
    static LoginShellPathResult failed() { return LoginShellPathResult(Failed{}); }

    // The path when the shell reported one.
    const QString* path() const {
        const Read* read = std::get_if<Read>(&m_value);
        return read ? &read->path : nullptr;
    }

    bool operator==(const LoginShellPathResult&) const = default;

private:
    explicit LoginShellPathResult(std::variant<Read, Failed> value)
        : m_value(std::move(value)) {}
    std::variant<Read, Failed> m_value;
};

inline QDebug operator<<(QDebug debug, const LoginShellPathResult& result) {
    const QDebugStateSaver saver(debug);
    if (const QString* path = result.path())
        debug.nospace() << "read(" << *path << ')';
    else
        debug.nospace() << "failed";
    return debug;
}

} // namespace corvane
