#pragma once

#include <corvane/welcome/FolderAccessService.h>

#include <QString>

namespace corvane {

// Asks by listing the folder on a worker thread: no such folder is `absent`, any other failure
// `denied`. This system shows no question of its own, so the listing's outcome is the whole answer.
class ListingFolderAccess final : public FolderAccessService {
public:
    explicit ListingFolderAccess(QString home);

    QCoro::Task<FolderAccessAnswer> ask(ProtectedFolder folder) override;

    // Lists `path` to its end; the errno value of the failure, or nothing when it could be listed.
    static std::optional<int> listingError(const QString& path);

private:
    QString m_home;
};

} // namespace corvane
