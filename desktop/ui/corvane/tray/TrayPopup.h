#pragma once

#include <QWidget>

#include <optional>

namespace corvane {

class ServerViewModel;
class UpdatesModel;
namespace menu {
class MenuContent;
}

// The window that holds the menu panel. Beside a tray icon it is a frameless popup that closes when
// the person clicks elsewhere; with no tray to sit beside it is an ordinary window. Where it goes is
// this class's business, what it shows the panel's.
class TrayPopup : public QWidget {
    Q_OBJECT
public:
    // popup: beside the icon, placed by Kestrin, closing when the person clicks elsewhere (X11).
    // floating: frameless, placed by the compositor, closing when it loses the focus (Wayland, where a
    // client cannot place a window). window: an ordinary window (no tray at all).
    enum class Kind { popup, floating, window };

    TrayPopup(ServerViewModel& model, UpdatesModel& updates, Kind kind, QWidget* parent = nullptr);

    menu::MenuContent& content() const { return *m_content; }
    Kind kind() const { return m_kind; }
    // Becomes a popup or an ordinary window; a shown panel hides to change.
    void setKind(Kind kind);
    // Shows the panel beside `anchor` (the icon's place on screen), wholly on that screen, and keeps it
    // there as it grows or shrinks while shown (when the server's answers arrive, say).
    void showBeside(const QRect& anchor);
    // Shows the panel, measured the same way, as a window (`kind` window or floating) that the window
    // manager or compositor places.
    void showPlacedBySystem(Kind kind);

Q_SIGNALS:
    void hidden();
    // The person closed the panel's window (its close button or Escape), as opposed to the panel
    // putting itself away.
    void closedAsWindow();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void placeBesideAnchor();
    void measure();
    void bringForward();

    menu::MenuContent* m_content;
    Kind m_kind;
    std::optional<QRect> m_anchor;
};

} // namespace corvane
