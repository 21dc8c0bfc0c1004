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
    const QUrl url(named, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    const QString host = url.host().toLower();
    const bool onThisComputer = host == u"localhost" || host == u"127.0.0.1" || host == u"::1";
    const bool usable =
        url.isValid() && !host.isEmpty() && (scheme == u"https" || (scheme == u"http" && onThisComputer));
    return usable ? named : defaultRepository.toString();
}

bool helperRunsHere() {
    return QSysInfo::currentCpuArchitecture() == u"x86_64"_s;
}

} // namespace corvane::AdbDownload
