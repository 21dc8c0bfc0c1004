// A tray icon with a one-entry menu and nothing else: what any Qt Widgets tray program costs.

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QPixmap dot(32, 32);
    dot.fill(Qt::transparent);
    {
        QPainter painter(&dot);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(0xFF, 0x5A, 0x1F));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(4, 4, 24, 24);
    }
    QMenu menu;
    menu.addAction(QStringLiteral("Quit"), &application, &QApplication::quit);
    QSystemTrayIcon icon{QIcon(dot)};
    icon.setContextMenu(&menu);
    icon.show();
    return QApplication::exec();
}
