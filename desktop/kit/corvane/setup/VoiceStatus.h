#pragma once

#include <corvane/look/ReadoutLamp.h>

#include <QJsonObject>
#include <QString>

#include <array>
#include <optional>

namespace corvane {

// What the server says about its voice model.
struct VoiceStatus {
    enum class State { off, downloading, preparing, ready, failed, unknown };
    // How a state feels to the person, whatever its words.
    enum class Tone { good, working, problem, quiet };

    static constexpr std::array allStates{State::off,   State::downloading, State::preparing,
                                          State::ready, State::failed,      State::unknown};

    State state = State::unknown;
    QString message;
    std::optional<qint64> loadedMB;
    std::optional<qint64> totalMB;
    std::optional<QString> model;

    Tone tone() const { return toneOf(state); }

    static QString toRaw(State state);
    // A text that names no state is `unknown`, never a failure.
    static State stateFromRaw(const QString& raw);
    static Tone toneOf(State state);
    // The lamp a tone lights in the menu.
    static ReadoutLamp lampOf(Tone tone);
    static std::optional<VoiceStatus> decode(const QJsonObject& object);

    bool operator==(const VoiceStatus&) const = default;
};

} // namespace corvane
