#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringView>
#include <QVariantMap>

#include <optional>

namespace corvane {

// The folders of the home folder the AI most often needs, asked about in this order.
enum class ProtectedFolder { desktop, documents, downloads };

// What listing a folder showed.
enum class FolderAccessAnswer {
    allowed, // it could be listed
    denied,  // listing failed for a reason other than absence
    absent,  // there is no such folder
};

using FolderAccessAnswers = QMap<ProtectedFolder, FolderAccessAnswer>;

namespace ProtectedFolders {

inline constexpr ProtectedFolder all[] = {ProtectedFolder::desktop, ProtectedFolder::documents,
                                          ProtectedFolder::downloads};

// "desktop", "documents" or "downloads": the stored word and the label alike.
QStringView rawValue(ProtectedFolder folder);
std::optional<ProtectedFolder> fromRawValue(QStringView word);
// `home` followed directly by "/Desktop", "/Documents" or "/Downloads"; nothing is normalised.
QString path(ProtectedFolder folder, const QString& home);

} // namespace ProtectedFolders

namespace FolderAccess {

inline constexpr QStringView storedAnswersKey = u"folderAccessAnswers";
inline constexpr QStringView declinedKey = u"folderAccessDeclined";

QStringView rawValue(FolderAccessAnswer answer);
std::optional<FolderAccessAnswer> answerFromRawValue(QStringView word);

// What a listing that ended with `error` (an errno value; none for success) says: no such folder is
// `absent`, any other failure `denied`.
FolderAccessAnswer answer(std::optional<int> error);

// Settled once the person declined to be asked, or when every folder has an answer, whatever it is.
bool isSettled(const FolderAccessAnswers& answers, bool declined);

// The stored form: each folder's word to its answer's word.
QVariantMap stored(const FolderAccessAnswers& answers);
// Back from the stored form, skipping silently any entry that is not a known folder with a known
// answer in words.
FolderAccessAnswers answers(const QVariantMap& stored);

} // namespace FolderAccess

} // namespace corvane
