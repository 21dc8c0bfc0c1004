#pragma once

#include <corvane/controls/Key.h>

namespace corvane::menu {

// A row of the menu: a compact chassis key as wide as the menu, its title at the left and a chevron
// at the right, with optional small print just before the chevron.
class RowKey : public Key {
    Q_OBJECT
public:
    explicit RowKey(const QString& title, QWidget* parent = nullptr);
    QSize sizeHint() const override;

    const QString& smallPrint() const { return m_smallPrint; }
    // Empty for none; screen readers read it as the row's description.
    void setSmallPrint(const QString& smallPrint);

protected:
    void paintLabel(QPainter& painter, const QRectF& face) override;

private:
    QString m_smallPrint;
};

} // namespace corvane::menu
