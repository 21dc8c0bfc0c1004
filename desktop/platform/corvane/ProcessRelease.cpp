#include "ProcessRelease.h"

#include <QCoreApplication>

namespace corvane {

void releaseUntilFinished(std::unique_ptr<QProcess> process) {
    process->disconnect();
    if (process->state() == QProcess::NotRunning)
        return;
    QObject::connect(process.get(), &QProcess::finished, process.get(), &QObject::deleteLater);
    process.release()->setParent(QCoreApplication::instance());
}

} // namespace corvane
