#include "DialInstructions.h"

#include <corvane/support/Overloaded.h>

#include <QDebug>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

DialInstructions DialInstructions::from(const SetupInfo& info) {
    if (!info.lanEnabled)
        return NotAnsweringTheNetwork{};
    const QString portSuffix = u":"_s + QString::number(info.port);
    QStringList candidates;
    for (const QString& address : info.addresses)
        candidates.append(address + portSuffix);
    if (info.hostname && !info.hostname->isEmpty())
        return Dial{.primary = *info.hostname + portSuffix, .alternates = candidates};
    if (!candidates.isEmpty())
        return Dial{.primary = candidates.first(), .alternates = candidates.mid(1)};
    return NoAddressYet{};
}

QString DialInstructions::message() const {
    return std::visit(
        Overloaded{
            [](const Dial&) { return u"Type this into Kestrin on your phone:"_s; },
            [](const NotAnsweringTheNetwork&) {
                return u"Kestrin is only answering this computer, so your phone can't reach it yet."_s;
            },
            [](const NoAddressYet&) {
                return u"This computer isn't on a network right now. Connect it to wi-fi and try again."_s;
            },
        },
        m_case);
}

QDebug operator<<(QDebug debug, const DialInstructions& instructions) {
    const QDebugStateSaver saver(debug);
    debug.nospace();
    std::visit(
        Overloaded{
            [&](const DialInstructions::Dial& dial) {
                debug << "dial(" << dial.primary << ", " << dial.alternates << ')';
            },
            [&](const DialInstructions::NotAnsweringTheNetwork&) { debug << "notAnsweringTheNetwork"; },
            [&](const DialInstructions::NoAddressYet&) { debug << "noAddressYet"; },
        },
        instructions.value());
    return debug;
}

} // namespace corvane
