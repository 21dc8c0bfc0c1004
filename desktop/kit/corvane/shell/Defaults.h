#pragma once

#include <QString>

#include <optional>

namespace corvane {

// The person's settings that outlive the process.
class Defaults {
public:
    virtual ~Defaults() = default;
    virtual std::optional<QString> string(const QString& key) const = 0;
    virtual void setString(const QString& key, const QString& value) = 0;
};

} // namespace corvane
