#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

namespace corvane {

// A ChatGPT sign-in in progress: the page to open and the code to type there.
struct CodexLoginChallenge {
    QString loginId; // sent back to cancel this attempt
    QString verificationUrl;
    QString userCode;

    static std::optional<CodexLoginChallenge> decode(const QJsonObject& object);

    bool operator==(const CodexLoginChallenge&) const = default;
};

} // namespace corvane
