#pragma once

#include <QVBoxLayout>

#include <optional>

namespace corvane {

// A column whose height is what its wrapped text needs at the width the column will really have (its
// widget's fixed width, or else its preferred width). A plain column asks each wrapped text for its
// height at the text's own narrower width, and a window sized by it shows an empty band below.
class FittedColumn : public QVBoxLayout {
public:
    using QVBoxLayout::QVBoxLayout;

    QSize sizeHint() const override;
    QSize minimumSize() const override;

private:
    // The width the owner is held to, less its own margins; nothing when it may change.
    std::optional<int> fixedWidth() const;
};

} // namespace corvane
