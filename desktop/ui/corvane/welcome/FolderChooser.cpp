#include "FolderChooser.h"

#include <QApplication>
#include <QFileDialog>
#include <QPointer>

namespace corvane::welcome {

using namespace Qt::Literals::StringLiterals;

std::optional<QString> chooseProjectsFolder(QWidget* owner, const QString& startingAt) {
    const QPointer<QWidget> focused = QApplication::focusWidget();
    // The dialog's title carries the message: it is the first line the person reads.
    QFileDialog chooser(owner, u"Pick the folder your projects live in — or an empty one to start fresh."_s,
                        startingAt);
    chooser.setFileMode(QFileDialog::Directory);
    chooser.setOption(QFileDialog::ShowDirsOnly);
    chooser.setLabelText(QFileDialog::Accept, u"Use This Folder"_s);
    const bool chosen = chooser.exec() == QDialog::Accepted && !chooser.selectedFiles().isEmpty();
    if (owner) {
        owner->raise();
        owner->activateWindow();
    }
    if (focused)
        focused->setFocus(Qt::OtherFocusReason);
    return chosen ? std::optional(chooser.selectedFiles().first()) : std::nullopt;
}

} // namespace corvane::welcome
