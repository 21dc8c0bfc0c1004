#include "ModuleFileFetcher.h"

#include <corvane/support/RemovePath.h>

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

using MakeFileFetcher = void (*)(qint64 stallMilliseconds, std::unique_ptr<FileFetcher>* made);

} // namespace

QString ModuleFileFetcher::besideProgram() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + u"/../lib/"_s +
                           QLatin1StringView(fileName));
}

ModuleFileFetcher::ModuleFileFetcher(QString modulePath, std::chrono::milliseconds stallLimit)
    : m_modulePath(std::move(modulePath))
    , m_stallLimit(stallLimit) {}

ModuleFileFetcher::~ModuleFileFetcher() = default;

std::expected<FileFetcher*, QString> ModuleFileFetcher::loaded() {
    if (m_fetcher)
        return m_fetcher.get();
    // Never unloaded: the fetcher's code must outlive every transfer it began.
    QLibrary module(m_modulePath);
    module.setLoadHints(QLibrary::PreventUnloadHint);
    const auto make = reinterpret_cast<MakeFileFetcher>(module.resolve(makerSymbol));
    if (!make)
        return std::unexpected(u"Kestrin could not load its network module: %1"_s.arg(module.errorString()));
    make(m_stallLimit.count(), &m_fetcher);
    return m_fetcher.get();
}

QCoro::Task<std::expected<FetchedDocument, QString>> ModuleFileFetcher::read(QUrl from) {
    const std::expected<FileFetcher*, QString> fetcher = loaded();
    if (!fetcher)
        co_return std::unexpected(fetcher.error());
    // Made apart from the co_await: GCC 12 mishandles temporaries built inside one.
    QCoro::Task<std::expected<FetchedDocument, QString>> reading = (*fetcher)->read(std::move(from));
    co_return co_await std::move(reading);
}

QCoro::Task<std::expected<void, QString>>
ModuleFileFetcher::download(QUrl from, QString to, qint64 declaredLength, DownloadProgress progress) {
    const std::expected<FileFetcher*, QString> fetcher = loaded();
    if (!fetcher)
        co_return std::unexpected(fetcher.error());
    QCoro::Task<std::expected<void, QString>> downloading =
        (*fetcher)->download(std::move(from), std::move(to), declaredLength, std::move(progress));
    co_return co_await std::move(downloading);
}

void ModuleFileFetcher::stopTransfers() {
    if (m_fetcher)
        m_fetcher->stopTransfers();
}

void ModuleFileFetcher::discard(QString path) {
    removePath(path);
}

} // namespace corvane
