#pragma once

#include <corvane/Key.h>

namespace corvane::menu {

// A row of the menu: a compact chassis key as wide as the menu, its title at the left and a chevron
// at the right.
class RowKey : public Key {
    Q_OBJECT
public:
    explicit RowKey(const QString& title, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintLabel(QPainter& painter, const QRectF& face) override;
};

} // namespace corvane::menu
