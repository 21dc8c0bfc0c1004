#include "FittedColumn.h"

#include <QWidget>

namespace corvane {

std::optional<int> FittedColumn::fixedWidth() const {
    const QWidget* owner = parentWidget();
    if (!owner || owner->minimumWidth() != owner->maximumWidth())
        return std::nullopt;
    const QMargins around = owner->contentsMargins();
    return owner->minimumWidth() - around.left() - around.right();
}

QSize FittedColumn::sizeHint() const {
    QSize hint = QVBoxLayout::sizeHint();
    if (!hasHeightForWidth())
        return hint;
    hint.setWidth(fixedWidth().value_or(hint.width()));
    hint.setHeight(heightForWidth(hint.width()));
    return hint;
}

QSize FittedColumn::minimumSize() const {
    QSize minimum = QVBoxLayout::minimumSize();
    if (const std::optional<int> width = fixedWidth(); width && hasHeightForWidth())
        minimum.setHeight(heightForWidth(*width));
    return minimum;
}

} // namespace corvane
