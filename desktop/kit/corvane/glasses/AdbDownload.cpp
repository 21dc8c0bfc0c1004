#include "AdbDownload.h"

#include <corvane/shell/TestCopyEnvironment.h>

#include <QSysInfo>
#include <QUrl>

namespace corvane::AdbDownload {

using namespace Qt::Literals::StringLiterals;

QString repository(const InfoDictionary& info, const Environment& environment) {
    const QString named = environment.value(repositoryVariable.toString());
    if (named.isEmpty() || !TestCopyEnvironment::isTestCopy(info))
        return defaultRepository.toString();
    return TestCopyEnvironment::allowsAddress(QUrl(named, QUrl::StrictMode), info)
               ? named
               : defaultRepository.toString();
}

bool helperRunsHere() {
    return QSysInfo::currentCpuArchitecture() == u"x86_64"_s;
}

} // namespace corvane::AdbDownload
