#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <cmath>
#include <concepts>
#include <limits>
#include <optional>
#include <type_traits>

namespace corvane {

// The body as a JSON object, or nothing when it is not valid UTF-8 JSON with an object at the top.
std::optional<QJsonObject> parseJsonObject(const QByteArray& body);

// Reads the fields of one JSON object by the rules of the setup API's replies: a required field must
// be present with its JSON type, an optional one may also be absent or null, unknown keys are ignored.
// A field that breaks a rule marks the whole object unreadable, which `ok()` then tells; the value
// returned for it is a default the caller throws away.
class JsonFields {
public:
    template <typename T>
    using Decoder = std::optional<T> (*)(const QJsonObject&);

    explicit JsonFields(QJsonObject object)
        : m_object(std::move(object)) {}

    bool ok() const { return m_ok; }

    // What `build` makes from the fields of `object`; nothing when any field it read broke a rule.
    template <typename Build>
    static auto decode(const QJsonObject& object, Build build)
        -> std::optional<std::invoke_result_t<Build, JsonFields&>> {
        JsonFields fields(object);
        auto value = build(fields);
        if (!fields.ok())
            return std::nullopt;
        return value;
    }

    QString text(QStringView key) { return required(key, asText).value_or(QString()); }
    std::optional<QString> optionalText(QStringView key) { return optional(key, asText); }

    bool boolean(QStringView key) { return required(key, asBoolean).value_or(false); }
    std::optional<bool> optionalBoolean(QStringView key) { return optional(key, asBoolean); }

    template <std::integral Int>
    Int integer(QStringView key) {
        return required(key, asInteger<Int>).value_or(Int{});
    }
    template <std::integral Int>
    std::optional<Int> optionalInteger(QStringView key) {
        return optional(key, asInteger<Int>);
    }

    std::optional<double> optionalNumber(QStringView key) { return optional(key, asNumber); }

    QStringList textList(QStringView key) {
        return required(key, [](const QJsonValue& v) { return asList(v, asText); }).value_or(QStringList());
    }

    template <typename T>
    T record(QStringView key, Decoder<T> decodeRecord) {
        return required(key, [&](const QJsonValue& v) { return asRecord(v, decodeRecord); }).value_or(T{});
    }
    template <typename T>
    std::optional<T> optionalRecord(QStringView key, Decoder<T> decodeRecord) {
        return optional(key, [&](const QJsonValue& v) { return asRecord(v, decodeRecord); });
    }
    template <typename T>
    QList<T> records(QStringView key, Decoder<T> decodeRecord) {
        const auto element = [&](const QJsonValue& v) { return asRecord(v, decodeRecord); };
        return required(key, [&](const QJsonValue& v) { return asList(v, element); }).value_or(QList<T>());
    }

private:
    template <typename Convert>
    auto optional(QStringView key, Convert convert) -> decltype(convert(QJsonValue())) {
        const QJsonValue value = m_object.value(key);
        if (value.isUndefined() || value.isNull())
            return std::nullopt;
        auto converted = convert(value);
        if (!converted)
            m_ok = false;
        return converted;
    }

    template <typename Convert>
    auto required(QStringView key, Convert convert) -> decltype(convert(QJsonValue())) {
        auto converted = optional(key, convert);
        if (!converted)
            m_ok = false;
        return converted;
    }

    static std::optional<QString> asText(const QJsonValue& value) {
        return value.isString() ? std::optional(value.toString()) : std::nullopt;
    }
    static std::optional<bool> asBoolean(const QJsonValue& value) {
        return value.isBool() ? std::optional(value.toBool()) : std::nullopt;
    }
    static std::optional<double> asNumber(const QJsonValue& value) {
        return value.isDouble() ? std::optional(value.toDouble()) : std::nullopt;
    }
    // A JSON number holding a whole value that fits the type: 3 and 3.0 do, 3.5 and 1e300 do not.
    template <std::integral Int>
    static std::optional<Int> asInteger(const QJsonValue& value) {
        if (!value.isDouble())
            return std::nullopt;
        const double number = value.toDouble();
        const double end = std::ldexp(1.0, std::numeric_limits<Int>::digits); // one past the largest value
        if (std::trunc(number) != number || number < static_cast<double>(std::numeric_limits<Int>::min()) ||
            number >= end)
            return std::nullopt;
        return static_cast<Int>(value.toInteger());
    }
    // An array whose every element converts; one that does not makes the whole list unreadable.
    template <typename Convert>
    static auto asList(const QJsonValue& value, Convert convert)
        -> std::optional<QList<typename decltype(convert(QJsonValue()))::value_type>> {
        if (!value.isArray())
            return std::nullopt;
        QList<typename decltype(convert(QJsonValue()))::value_type> list;
        for (const QJsonValue& element : value.toArray()) {
            auto converted = convert(element);
            if (!converted)
                return std::nullopt;
            list.append(std::move(*converted));
        }
        return list;
    }

    template <typename T>
    static std::optional<T> asRecord(const QJsonValue& value, Decoder<T> decodeRecord) {
        return value.isObject() ? decodeRecord(value.toObject()) : std::nullopt;
    }

    QJsonObject m_object;
    bool m_ok = true;
};

} // namespace corvane
