#pragma once

#include <QWidget>

namespace corvane {

class Silk;

// The top bar of a window: its caption printed in the middle, 52 points high, between two side areas
// of equal width: 80 points, or as wide as the larger of what they hold (the window's close key at
// the left, what the window says in its corner at the right), so that the caption stays centred and
// clear of both.
class WindowTopBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int sideWidth = 80;
    static constexpr int padding = 20;
    static constexpr int leadingInset = 8; // where the system's window buttons would be

    explicit WindowTopBar(const QString& label, QWidget* parent = nullptr);

    void setLabel(const QString& label);
    // Puts `key` at the left end of the bar, where the system's window buttons would be.
    void setLeading(QWidget* key);
    // Puts `corner` at the right end of the bar.
    void setCorner(QWidget* corner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void balanceSides();

    Silk* m_label;
    QWidget* m_leadingArea;
    QWidget* m_corner;
    QWidget* m_leading = nullptr;
    QWidget* m_cornerContent = nullptr;
};

} // namespace corvane
