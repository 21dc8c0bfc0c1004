#include "AppcastUpdater.h"

#include <corvane/updates/UnpackedCopy.h>

#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

AppcastUpdater::AppcastUpdater(Application application, Seams seams, std::chrono::milliseconds checkInterval,
                               QObject* parent)
    : Updater(parent)
    , m_application(std::move(application))
    , m_seams(std::move(seams))
    , m_folders(m_application.folder) {
    m_schedule.setInterval(checkInterval);
    connect(&m_schedule, &QTimer::timeout, this, &AppcastUpdater::scheduledCheck);
}

void AppcastUpdater::startUpdater() {
    if (m_started || m_windingDown)
        return;
    m_folders.tidy();
    m_started = true;
    Q_EMIT canCheckForUpdatesChanged(true);
    m_schedule.start();
    scheduledCheck();
}

void AppcastUpdater::scheduledCheck() {
    if (m_windingDown || m_session != Session::none || m_waiting)
        return;
    beginCheck(false);
}

void AppcastUpdater::beginCheck(bool userInitiated) {
    m_session = Session::checking;
    m_userInitiated = userInitiated;
    if (userInitiated)
        show(UpdateAlert{UpdateAlert::Checking{}});
    check(++m_generation, m_work.begin());
}

void AppcastUpdater::checkForUpdates() {
    if (!canCheckForUpdates())
        return;
    switch (m_session) {
    case Session::none:
        if (m_waiting) {
            m_session = Session::ready;
            m_userInitiated = true;
            Q_EMIT willShowUpdate(true);
            show(UpdateAlert{UpdateAlert::Ready{*m_waiting}});
        } else {
            beginCheck(true);
        }
        return;
    case Session::checking:
        if (!m_userInitiated) {
            // The person asked while a check of the updater's own ran: it now answers them.
            m_userInitiated = true;
            show(UpdateAlert{UpdateAlert::Checking{}});
            return;
        }
        break;
    case Session::offered:
    case Session::downloading:
    case Session::ready:
    case Session::ending:
        break;
    }
    Q_EMIT alertChanged(); // shown again, in front
}

QCoro::Task<> AppcastUpdater::check(int generation, [[maybe_unused]] WorkUnderWay::Token working) {
    const QPointer<AppcastUpdater> self(this);
    const std::shared_ptr<FileFetcher> fetcher = m_seams.fetcher;
    QCoro::Task<std::expected<FetchedDocument, QString>> reading = fetcher->read(m_application.source.feed);
    const std::expected<FetchedDocument, QString> feed = co_await std::move(reading);
    if (!self || generation != m_generation)
        co_return;
    if (!feed) {
        fail(UpdateWords::feedUnreachable.toString(), feed.error());
        co_return;
    }
    QList<AppcastItem> items = Appcast::items(feed->content);
    // An archive that would travel in the clear, under a feed that does not, is not offered.
    if (m_application.source.feed.scheme() == u"https")
        items.removeIf([](const AppcastItem& item) { return item.url.scheme() != u"https"; });
    std::optional<AppcastItem> newest = Appcast::newest(items, m_application.version);
    // A version the person skipped is not offered again unless they ask.
    if (newest && !m_userInitiated &&
        m_seams.defaults->string(skippedVersionKey.toString()) == newest->version)
        newest.reset();
    if (!newest) {
        if (m_userInitiated) {
            m_session = Session::ending;
            show(UpdateAlert{UpdateAlert::UpToDate{m_application.shortVersion}});
        } else {
            finishSession();
        }
        co_return;
    }
    m_session = Session::offered;
    Q_EMIT willShowUpdate(m_userInitiated);
    show(UpdateAlert{UpdateAlert::Offered{*newest, m_application.shortVersion}});
}

void AppcastUpdater::answer(UpdateAnswer answer) {
    if (!m_alert)
        return;
    const QList<UpdateAlertKey> keys = m_alert->keys();
    if (std::ranges::none_of(keys, [answer](const UpdateAlertKey& key) { return key.answer == answer; }))
        return;
    const auto* offered = std::get_if<UpdateAlert::Offered>(&m_alert->value);
    switch (answer) {
    case UpdateAnswer::installOnQuit: {
        const AppcastItem item = offered->item;
        Q_EMIT userDidMakeChoice(UpdateChoice::install, UpdateChoiceStage::notDownloaded);
        m_session = Session::downloading;
        m_userInitiated = true;
        fetch(item, ++m_generation, m_work.begin());
        return;
    }
    case UpdateAnswer::skipThisVersion:
        m_seams.defaults->setString(skippedVersionKey.toString(), offered->item.version);
        Q_EMIT userDidMakeChoice(UpdateChoice::skip, UpdateChoiceStage::notDownloaded);
        break;
    case UpdateAnswer::remindMeLater:
        Q_EMIT userDidMakeChoice(UpdateChoice::dismiss, UpdateChoiceStage::notDownloaded);
        break;
    case UpdateAnswer::cancel:
        abandonWork();
        if (m_session == Session::downloading) {
            m_folders.endStaging();
            Q_EMIT userDidMakeChoice(UpdateChoice::dismiss, UpdateChoiceStage::notDownloaded);
        }
        break;
    case UpdateAnswer::later:
        Q_EMIT userDidMakeChoice(UpdateChoice::dismiss, UpdateChoiceStage::installing);
        break;
    case UpdateAnswer::quitAndInstall:
        Q_EMIT userDidMakeChoice(UpdateChoice::install, UpdateChoiceStage::installing);
        finishSession();
        Q_EMIT quitRequested();
        return;
    case UpdateAnswer::ok:
        break;
    }
    finishSession();
}

QCoro::Task<> AppcastUpdater::fetch(AppcastItem item, int generation,
                                    [[maybe_unused]] WorkUnderWay::Token working) {
    const QPointer<AppcastUpdater> self(this);
    const Seams seams = m_seams;
    const std::expected<QString, QString> staging = m_folders.beginStaging();
    if (!staging) {
        fail(UpdateWords::cannotWrite.arg(QFileInfo(m_folders.applicationFolder()).absolutePath()),
             staging.error());
        co_return;
    }
    // Named by the session, so that one abandoned and still winding down never touches a later one's files.
    const QString archive = *staging + u"/archive-%1.zip"_s.arg(generation);
    const QString into = *staging + u"/unpacked-%1"_s.arg(generation);
    show(UpdateAlert{UpdateAlert::Downloading{item, 0, item.length}});
    // Shown in whole steps (a hundredth, or a megabyte while the size is unknown), not once per chunk.
    const DownloadProgress progress = [self, generation, item, shownStep = qint64(-1)](qint64 received,
                                                                                       qint64 total) mutable {
        if (!self || generation != self->m_generation || self->m_session != Session::downloading)
            return;
        const qint64 size = total > 0 ? total : item.length;
        const qint64 step = size > 0 ? received * 100 / size : received / 1'000'000;
        if (std::exchange(shownStep, step) != step)
            self->show(UpdateAlert{UpdateAlert::Downloading{item, received, size}});
    };
    QCoro::Task<std::expected<void, QString>> downloading =
        seams.fetcher->download(item.url, archive, item.length, progress);
    const std::expected<void, QString> downloaded = co_await std::move(downloading);
    if (!self || generation != m_generation) {
        seams.fetcher->discard(archive); // this session's own files: no later session uses them
        co_return;
    }
    if (!downloaded) {
        fail(UpdateWords::downloadFailed.toString(), downloaded.error());
        co_return;
    }
    show(UpdateAlert{UpdateAlert::Preparing{item}});
    // Nothing of an archive its publisher did not sign is opened.
    QCoro::Task<bool> verifying =
        seams.verifier->verify(archive, item.edSignature, m_application.source.publicKey);
    const bool signedByPublisher = co_await std::move(verifying);
    if (!self || generation != m_generation) {
        seams.fetcher->discard(archive);
        co_return;
    }
    if (!signedByPublisher) {
        fail(UpdateWords::notSigned.toString(),
             u"The signature of %1 does not match the application's public key."_s.arg(item.url.toString()));
        co_return;
    }
    QCoro::Task<std::expected<void, QString>> unpacking = seams.unpacker->unpack(archive, into);
    const std::expected<void, QString> unpacked = co_await std::move(unpacking);
    seams.fetcher->discard(archive);
    if (!self || generation != m_generation) {
        seams.fetcher->discard(into);
        co_return;
    }
    if (!unpacked) {
        fail(UpdateWords::unpackFailed.toString(), unpacked.error());
        co_return;
    }
    const std::expected<QString, UnpackedCopy::Refusal> folder =
        UnpackedCopy::check(into, m_application.bundleIdentifier, item.version, m_application.version);
    if (!folder) {
        fail(folder.error().words.toString(), u"%1: %2"_s.arg(item.url.toString(), folder.error().why));
        co_return;
    }
    m_waiting = item;
    m_waitingFolder = *folder;
    m_session = Session::ready;
    Q_EMIT willInstallUpdateOnQuit(item);
    show(UpdateAlert{UpdateAlert::Ready{item}});
}

void AppcastUpdater::show(std::optional<UpdateAlert> alert) {
    if (m_alert == alert)
        return;
    m_alert = std::move(alert);
    Q_EMIT alertChanged();
}

void AppcastUpdater::finishSession() {
    m_session = Session::none;
    m_userInitiated = false;
    Q_EMIT willFinishUpdateSession();
    show(std::nullopt);
}

void AppcastUpdater::fail(const QString& words, const QString& why) {
    if (!m_waiting)
        m_folders.endStaging();
    Q_EMIT didAbortWithError(why);
    if (!m_userInitiated) {
        finishSession();
        return;
    }
    m_session = Session::ending;
    show(UpdateAlert{UpdateAlert::Failed{words}});
}

void AppcastUpdater::abandonWork() {
    ++m_generation;
    m_seams.fetcher->stopTransfers();
}

void AppcastUpdater::windDown() {
    if (m_windingDown)
        return;
    const bool hadStarted = canCheckForUpdates();
    m_windingDown = true;
    m_schedule.stop();
    if (hadStarted)
        Q_EMIT canCheckForUpdatesChanged(false);
    if (m_session == Session::checking || m_session == Session::downloading) {
        abandonWork();
        if (!m_waiting)
            m_folders.endStaging();
    }
    if (m_session != Session::none)
        finishSession();
}

QCoro::Task<> AppcastUpdater::settled() {
    co_await m_work.settled();
}

std::expected<std::optional<AppcastItem>, QString> AppcastUpdater::installOnQuit() {
    if (!m_waiting)
        return std::nullopt;
    const AppcastItem item = *std::exchange(m_waiting, std::nullopt);
    if (const std::expected<void, QString> swapped = m_folders.swapIn(m_waitingFolder); !swapped)
        return std::unexpected(swapped.error());
    return item;
}

} // namespace corvane
