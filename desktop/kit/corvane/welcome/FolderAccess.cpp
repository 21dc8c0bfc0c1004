#include "FolderAccess.h"

#include <cerrno>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace ProtectedFolders {

QStringView rawValue(ProtectedFolder folder) {
    switch (folder) {
    case ProtectedFolder::desktop:
        return u"desktop";
    case ProtectedFolder::documents:
        return u"documents";
    case ProtectedFolder::downloads:
        return u"downloads";
    }
    return {};
}

std::optional<ProtectedFolder> fromRawValue(QStringView word) {
    for (const ProtectedFolder folder : all)
        if (rawValue(folder) == word)
            return folder;
    return std::nullopt;
}

QString path(ProtectedFolder folder, const QString& home) {
    switch (folder) {
    case ProtectedFolder::desktop:
        return home + u"/Desktop"_s;
    case ProtectedFolder::documents:
        return home + u"/Documents"_s;
    case ProtectedFolder::downloads:
        return home + u"/Downloads"_s;
    }
    return home;
}

} // namespace ProtectedFolders

namespace FolderAccess {

namespace {

constexpr FolderAccessAnswer allAnswers[] = {FolderAccessAnswer::allowed, FolderAccessAnswer::denied,
                                             FolderAccessAnswer::absent};

} // namespace

QStringView rawValue(FolderAccessAnswer answer) {
    switch (answer) {
    case FolderAccessAnswer::allowed:
        return u"allowed";
    case FolderAccessAnswer::denied:
        return u"denied";
    case FolderAccessAnswer::absent:
        return u"absent";
    }
    return {};
}

std::optional<FolderAccessAnswer> answerFromRawValue(QStringView word) {
    for (const FolderAccessAnswer answer : allAnswers)
        if (rawValue(answer) == word)
            return answer;
    return std::nullopt;
}

FolderAccessAnswer answer(std::optional<int> error) {
    if (!error)
        return FolderAccessAnswer::allowed;
    return *error == ENOENT ? FolderAccessAnswer::absent : FolderAccessAnswer::denied;
}

bool isSettled(const FolderAccessAnswers& answers, bool declined) {
    if (declined)
        return true;
    for (const ProtectedFolder folder : ProtectedFolders::all)
        if (!answers.contains(folder))
            return false;
    return true;
}

QVariantMap stored(const FolderAccessAnswers& answers) {
    QVariantMap words;
    for (auto entry = answers.cbegin(); entry != answers.cend(); ++entry)
        words.insert(ProtectedFolders::rawValue(entry.key()).toString(), rawValue(entry.value()).toString());
    return words;
}

FolderAccessAnswers answers(const QVariantMap& stored) {
    FolderAccessAnswers answers;
    for (auto entry = stored.cbegin(); entry != stored.cend(); ++entry) {
        if (entry.value().typeId() != QMetaType::QString)
            continue;
        const auto folder = ProtectedFolders::fromRawValue(entry.key());
        const auto answer = answerFromRawValue(entry.value().toString());
        if (folder && answer)
            answers.insert(*folder, *answer);
    }
    return answers;
}

} // namespace FolderAccess

} // namespace corvane
