#pragma once

#include <QString>

#include <expected>

namespace corvane {

// The folders an update passes through beside the application folder: it is unpacked into a staging
// folder, and at a quit the application folder is renamed aside and the new one renamed into its
// place. The folder set aside stays until the new copy starts, so a copy can always be found whole
// under one of the two names. Every folder sits beside the application's, on the same file system,
// so each move is one rename.
class ApplicationFolderSwap {
public:
    explicit ApplicationFolderSwap(QString applicationFolder);

    const QString& applicationFolder() const { return m_applicationFolder; }
    // Where an update is downloaded and unpacked.
    QString stagingFolder() const;
    // Where the replaced copy waits until the new one has started.
    QString previousFolder() const;

    // Puts `newFolder` (inside the staging folder) in place of the application folder. A move that
    // fails leaves the application folder as it was. The staging folder is gone afterwards either way.
    std::expected<void, QString> swapIn(const QString& newFolder) const;
    // Clears what earlier runs left: a staging folder nobody installed, and the copy an installed
    // update replaced (this run is the new copy, so it has started).
    void tidy() const;

private:
    QString m_applicationFolder;
};

} // namespace corvane
