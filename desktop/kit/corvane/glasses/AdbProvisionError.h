#pragma once

#include <QStringView>

namespace corvane {

// Why fetching adb failed. The platform's own error is neither shown nor kept.
enum class AdbProvisionError { downloadFailed, unpackFailed, notFromGoogle, noPrivateFolder };

namespace AdbProvisionErrors {
QStringView plainDescription(AdbProvisionError error);
} // namespace AdbProvisionErrors

} // namespace corvane
