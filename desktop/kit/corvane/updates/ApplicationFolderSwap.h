#pragma once

#include <QString>

#include <expected>
#include <memory>

class QLockFile;

namespace corvane {

// The folders an update passes through beside the application folder: it is unpacked into a staging
// folder, and at a quit the application folder is renamed aside and the new one renamed into its
// place. The folder set aside stays until the new copy starts, so a copy can always be found whole
// under one of the two names. Every folder sits beside the application's, on the same file system,
// so each move is one rename.
//
// A staging folder is made fresh for each download, with a name no one could have taken first and a
// mode that keeps every other account out; while this run lives it holds a lock in it, so that
// another copy started from the same folder leaves it alone.
class ApplicationFolderSwap {
public:
    explicit ApplicationFolderSwap(QString applicationFolder);
    ~ApplicationFolderSwap();
    ApplicationFolderSwap(const ApplicationFolderSwap&) = delete;
    ApplicationFolderSwap& operator=(const ApplicationFolderSwap&) = delete;

    const QString& applicationFolder() const { return m_applicationFolder; }
    // Makes a new staging folder for a download, in place of this run's earlier one; the reason when
    // it could not.
    std::expected<QString, QString> beginStaging();
    // Removes this run's staging folder, with all it holds.
    void endStaging();
    // Where the replaced copy waits until the new one has started.
    QString previousFolder() const;

    // Puts `newFolder` (inside the staging folder) in place of the application folder. A move that
    // fails leaves the application folder as it was. The staging folder is gone afterwards either way.
    std::expected<void, QString> swapIn(const QString& newFolder);
    // Clears what earlier runs left: staging folders whose run has ended, and the copy an installed
    // update replaced (this run is the new copy, so it has started).
    void tidy() const;

private:
    // The name every staging folder of this application folder starts with.
    QString stagingPrefix() const;

    QString m_applicationFolder;
    QString m_staging;
    std::unique_ptr<QLockFile> m_stagingLock;
};

} // namespace corvane
