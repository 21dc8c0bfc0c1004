#include "UnzipUpdateUnpacker.h"

#include <corvane/Unzip.h>

#include <QStringList>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

UnzipUpdateUnpacker::UnzipUpdateUnpacker(QString unzip)
    : m_unzip(std::move(unzip)) {}

QCoro::Task<std::expected<void, QString>> UnzipUpdateUnpacker::unpack(QString archive, QString into) {
    const QStringList arguments{u"-q"_s, archive, u"-d"_s, into};
    QCoro::Task<std::expected<void, QString>> unpacking =
        runUnzip(m_unzip, arguments, std::chrono::minutes(5));
    co_return co_await std::move(unpacking);
}

} // namespace corvane
