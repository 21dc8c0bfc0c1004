#pragma once

#include <corvane/updates/UpdateUnpacker.h>

namespace corvane {

// Expands an update's zip archive whole with Debian's unzip, which keeps each file's mode and refuses
// names that would climb out of the folder.
class UnzipUpdateUnpacker final : public UpdateUnpacker {
public:
    explicit UnzipUpdateUnpacker(QString unzip = QStringLiteral("unzip"));
    QCoro::Task<std::expected<void, QString>> unpack(QString archive, QString into) override;

private:
    QString m_unzip;
};

} // namespace corvane
