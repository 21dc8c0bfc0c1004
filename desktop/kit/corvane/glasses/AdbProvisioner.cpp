#include "AdbProvisioner.h"

#include <corvane/glasses/AdbDownload.h>
#include <corvane/glasses/AdbLocator.h>
#include <corvane/glasses/PlatformToolsManifest.h>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

AdbProvisioner::AdbProvisioner(std::shared_ptr<AdbProvisionSteps> steps,
                               std::shared_ptr<CodeSignatureVerifier> verifier, QString repository)
    : m_steps(std::move(steps))
    , m_verifier(std::move(verifier))
    , m_repository(std::move(repository)) {}

QCoro::Task<std::expected<QString, AdbProvisionError>> AdbProvisioner::fetch(QString applicationSupport) {
    const auto steps = m_steps; // kept for the whole fetch, whatever happens to the provisioner
    m_stopped = std::make_shared<bool>(false);
    const std::shared_ptr<const bool> stopped = m_stopped;
    // The digest is checked and the archive unpacked in a folder only this user can write: what was
    // checked is what is unpacked.
    const std::expected<QString, QString> made = steps->makeWorkingFolder();
    if (!made)
        co_return std::unexpected(AdbProvisionError::noPrivateFolder);
    const QString working = *made;
    const auto fail = [&](AdbProvisionError error) {
        steps->discard(working);
        return std::unexpected(error);
    };

    const QUrl repository(m_repository);
    const std::expected<FetchedDocument, QString> manifest =
        co_await steps->read(repository.resolved(QUrl(AdbDownload::manifestName.toString())));
    if (!manifest || *stopped)
        co_return fail(AdbProvisionError::downloadFailed);
    const std::optional<PlatformToolsArchive> archive =
        PlatformToolsManifest::linuxArchive(manifest->content);
    if (!archive)
        co_return fail(AdbProvisionError::downloadFailed);

    const QString archivePath = working + u"/platform-tools.zip"_s;
    const QUrl archiveUrl = repository.resolved(QUrl(archive->fileName));
    if (!co_await steps->download(archiveUrl, archivePath, archive->size > 0 ? archive->size : -1,
                                  onProgress))
        co_return fail(AdbProvisionError::downloadFailed);
    // Nothing in an archive Google did not vouch for is unpacked, let alone run.
    if (!m_verifier->satisfies(archivePath, u"sha1:"_s + archive->sha1))
        co_return fail(AdbProvisionError::notFromGoogle);
    if (*stopped)
        co_return fail(AdbProvisionError::downloadFailed);
    if (!co_await steps->unpack(archivePath, working))
        co_return fail(AdbProvisionError::unpackFailed);
    if (*stopped) // a stop while unzip ran: nothing is installed
        co_return fail(AdbProvisionError::downloadFailed);
    const QString installed = AdbLocator::managedPath(applicationSupport);
    if (!steps->install(working + u"/platform-tools/adb"_s, installed))
        co_return fail(AdbProvisionError::unpackFailed);
    steps->discard(working);
    co_return installed;
}

void AdbProvisioner::stop() {
    *m_stopped = true;
    m_steps->stopTransfers();
}

} // namespace corvane
