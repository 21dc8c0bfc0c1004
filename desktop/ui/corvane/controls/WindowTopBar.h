#pragma once

#include <QWidget>

namespace corvane {

class Silk;

// The top bar of a window: its caption printed in the middle, 52 points high, with room for the
// window's own buttons on either side, and a corner at the right for what the window says there.
class WindowTopBar : public QWidget {
    Q_OBJECT
public:
    explicit WindowTopBar(const QString& label, QWidget* parent = nullptr);

    void setLabel(const QString& label);
    // Puts `corner` at the right end of the bar.
    void setCorner(QWidget* corner);

private:
    Silk* m_label;
    QWidget* m_corner;
};

} // namespace corvane
