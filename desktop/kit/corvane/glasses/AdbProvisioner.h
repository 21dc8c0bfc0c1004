#pragma once

#include <corvane/glasses/AdbProvisionError.h>
#include <corvane/support/FileFetcher.h>

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <qcorotask.h>

#include <expected>
#include <functional>
#include <memory>

namespace corvane {

// The platform's part of fetching adb, beyond fetching itself.
class AdbProvisionSteps : public FileFetcher {
public:
    // A new folder for one fetch that no other account can enter or replace, made under a folder of
    // this user's own; the fetch discards it when done. The reason when it could not be made.
    virtual std::expected<QString, QString> makeWorkingFolder() = 0;
    // Expands adb alone from the archive into the folder, at "platform-tools/adb".
    virtual QCoro::Task<std::expected<void, QString>> unpack(QString archive, QString into) = 0;
    // Puts a copy of the executable at the path, mode 0755, appearing there only when complete.
    virtual std::expected<void, QString> install(QString executable, QString at) = 0;
};

// Checks a file against what its publisher says of it.
class CodeSignatureVerifier {
public:
    virtual ~CodeSignatureVerifier() = default;
    // `requirement` is the publisher's word, here "sha1:" and the digest Google lists for the archive.
    virtual bool satisfies(const QString& path, const QString& requirement) const = 0;
};

// Gives the path of a usable adb, fetching one if need be.
class GlassesToolProvider {
public:
    virtual ~GlassesToolProvider() = default;
    virtual QCoro::Task<std::expected<QString, AdbProvisionError>> fetch(QString applicationSupport) = 0;
    // Ends a fetch under way at once: its transfer stops, and it installs nothing.
    virtual void stop() = 0;
};

// Fetches adb from Google: the repository's manifest names the Linux archive and its digest; the
// archive is downloaded into a private folder made for this fetch and checked against that digest
// before anything in it is unpacked, and only adb is kept, in our own folder. Every failure leaves no
// working files and no half-installed adb.
class AdbProvisioner final : public GlassesToolProvider {
public:
    AdbProvisioner(std::shared_ptr<AdbProvisionSteps> steps, std::shared_ptr<CodeSignatureVerifier> verifier,
                   QString repository);

    // Told as the archive arrives.
    DownloadProgress onProgress;

    QCoro::Task<std::expected<QString, AdbProvisionError>> fetch(QString applicationSupport) override;
    void stop() override;

private:
    std::shared_ptr<AdbProvisionSteps> m_steps;
    std::shared_ptr<CodeSignatureVerifier> m_verifier;
    QString m_repository;
    // Shared with the fetch under way, which looks at it between its steps.
    std::shared_ptr<bool> m_stopped = std::make_shared<bool>(false);
};

} // namespace corvane
