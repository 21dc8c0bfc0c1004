#pragma once

#include <corvane/controls/ChassisGround.h>

class QVBoxLayout;

namespace corvane {

class WindowTopBar;

// One of the application's windows: drawn by itself (the chassis ground and its own top bar with a
// close key, no system title bar), sized by its content and not resizable, moved by dragging its
// background. Its title is its name for the system's window lists and screen readers.
class AppWindow : public ChassisGround {
    Q_OBJECT
public:
    explicit AppWindow(const QString& title, QWidget* parent = nullptr);

    // Where the window's screen goes, below the top bar.
    QVBoxLayout* content() const { return m_content; }
    WindowTopBar& topBar() const { return *m_topBar; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    // Escape does what the close key does, unless the screen inside takes it for itself.
    void keyPressEvent(QKeyEvent* event) override;
    // Until the person drags it, a window that grows or shrinks (its screen filled in after a read)
    // keeps its centre where it was, so one placed in the middle stays there.
    void resizeEvent(QResizeEvent* event) override;

private:
    QVBoxLayout* m_content;
    WindowTopBar* m_topBar;
    bool m_draggedByPerson = false;
};

} // namespace corvane
