#include "NetworkAdbProvisionSteps.h"

#include <corvane/PrivateFolder.h>
#include <corvane/Unzip.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

NetworkAdbProvisionSteps::NetworkAdbProvisionSteps(QString workingParent,
                                                   std::shared_ptr<FileFetcher> fetcher, QString unzip)
    : m_workingParent(std::move(workingParent))
    , m_fetcher(std::move(fetcher))
    , m_unzip(std::move(unzip)) {}

// The parent is narrowed to this user alone; inside it, mkdtemp makes a name no one could have taken
// first, mode 0700.
std::expected<QString, QString> NetworkAdbProvisionSteps::makeWorkingFolder() {
    if (!makePrivateFolder(m_workingParent))
        return std::unexpected(u"%1 is not a folder of this user's own."_s.arg(m_workingParent));
    QByteArray folder = QFile::encodeName(m_workingParent) + "/platform-tools-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr)
        return std::unexpected(u"Could not make a folder in %1."_s.arg(m_workingParent));
    return QFile::decodeName(folder);
}

QCoro::Task<std::expected<FetchedDocument, QString>> NetworkAdbProvisionSteps::read(QUrl from) {
    return m_fetcher->read(std::move(from));
}

QCoro::Task<std::expected<void, QString>>
NetworkAdbProvisionSteps::download(QUrl from, QString to, qint64 declaredLength, DownloadProgress progress) {
    return m_fetcher->download(std::move(from), std::move(to), declaredLength, std::move(progress));
}

void NetworkAdbProvisionSteps::stopTransfers() {
    m_fetcher->stopTransfers();
}

void NetworkAdbProvisionSteps::discard(QString path) {
    m_fetcher->discard(std::move(path));
}

QCoro::Task<std::expected<void, QString>> NetworkAdbProvisionSteps::unpack(QString archive, QString into) {
    // adb alone, whatever else the archive holds.
    const QStringList arguments{u"-o"_s, u"-q"_s, archive, u"platform-tools/adb"_s, u"-d"_s, into};
    QCoro::Task<std::expected<void, QString>> unpacking =
        runUnzip(m_unzip, arguments, std::chrono::minutes(2));
    const std::expected<void, QString> unpacked = co_await std::move(unpacking);
    if (!unpacked)
        co_return unpacked;
    if (!QFileInfo(into + u"/platform-tools/adb"_s).isFile())
        co_return std::unexpected(u"unzip could not expand %1."_s.arg(archive));
    co_return std::expected<void, QString>{};
}

std::expected<void, QString> NetworkAdbProvisionSteps::install(QString executable, QString at) {
    if (!QDir().mkpath(QFileInfo(at).absolutePath()))
        return std::unexpected(u"Could not make the folder for %1."_s.arg(at));
    const QString part = at + u".part"_s;
    QFile::remove(part);
    const auto fail = [&](const QString& why) {
        QFile::remove(part);
        return std::unexpected(why);
    };
    if (!QFile::copy(executable, part))
        return fail(u"Could not copy %1."_s.arg(executable));
    if (!QFile::setPermissions(part, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                         QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                         QFile::ExeOther))
        return fail(u"Could not make %1 executable."_s.arg(part));
    // A rename replaces whatever was there in one step.
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(at).constData()) != 0)
        return fail(u"Could not put adb at %1."_s.arg(at));
    return {};
}

} // namespace corvane
