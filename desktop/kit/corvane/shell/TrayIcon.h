#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

namespace corvane {

// Kestrin's icon in a tray that a desktop runs through a protocol of its own (a StatusNotifierItem
// host: KDE Plasma, XFCE, Cinnamon, waybar). The tray's view decides what a click does and which
// rows the menu holds; the icon only carries them to the host and back.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    // One size of the icon: ARGB32 pixels in network byte order, row by row.
    struct Pixmap {
        int width = 0;
        int height = 0;
        QByteArray argb;
        bool operator==(const Pixmap&) const = default;
    };
    // One row of the menu the host shows on a right click.
    struct MenuRow {
        QString title;
        bool enabled = true;
        bool separator = false;
        bool operator==(const MenuRow&) const = default;
    };

    using QObject::QObject;

    // Whether a host shows the icon now.
    virtual bool isShown() const = 0;
    // Whether it has learned yet if a host is there: until then it is neither shown nor known to be
    // missing.
    virtual bool isSettled() const = 0;
    virtual void setIcon(const QList<Pixmap>& sizes) = 0;
    virtual void setToolTip(const QString& text) = 0;
    virtual void setMenu(const QList<MenuRow>& rows) = 0;

Q_SIGNALS:
    void shownChanged(bool shown);
    // It has learned whether a host is there (once).
    void settled();
    // A click on the icon; `at` is the screen point the host gives, (0, 0) when it gives none.
    void activated(QPoint at);
    // The row of the menu at `index` was chosen.
    void rowTriggered(int index);
};

} // namespace corvane
