#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <qcorotask.h>

#include <expected>
#include <functional>

namespace corvane {

// How far a download has come: bytes received, and the total when the server said it (else -1).
using DownloadProgress = std::function<void(qint64 received, qint64 total)>;

// A small document, whole, as it arrived.
struct FetchedDocument {
    QByteArray content;
};

// The platform's fetching of documents and files from the network. A step that fails says why in
// words for the log; people only ever see the words of whoever asked for the fetch.
class FileFetcher {
public:
    virtual ~FileFetcher() = default;
    // A small document (a manifest, a feed), whole.
    virtual QCoro::Task<std::expected<FetchedDocument, QString>> read(QUrl from) = 0;
    // A file, written to `to` only once it is whole; only an answer with status 200 counts. A file
    // that runs past `declaredLength` (its publisher's word; -1 when none), give or take a little, is
    // stopped there and fails.
    virtual QCoro::Task<std::expected<void, QString>> download(QUrl from, QString to, qint64 declaredLength,
                                                               DownloadProgress progress) = 0;
    // Stops every read and download under way; each then fails.
    virtual void stopTransfers() = 0;
    // Removes the path, a folder with all it holds; errors are ignored.
    virtual void discard(QString path) = 0;
};

} // namespace corvane
