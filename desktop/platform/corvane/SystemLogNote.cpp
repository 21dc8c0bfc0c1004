#include "SystemLogNote.h"

#include <memory>
#include <syslog.h>

namespace corvane {

std::function<void(const QString&)> systemLogNote(const QString& identifier, const QString& category) {
    // syslog keeps the identifier's pointer for as long as the log is open: it lives with the note.
    const auto ident = std::make_shared<QByteArray>(identifier.toUtf8());
    const QByteArray prefix = category.toUtf8();
    return [ident, prefix](const QString& text) {
        ::openlog(ident->constData(), LOG_PID, LOG_USER);
        // The text is an argument, never the format: a note cannot smuggle in conversions.
        ::syslog(LOG_NOTICE, "%s: %s", prefix.constData(), text.toUtf8().constData());
    };
}

} // namespace corvane
