#pragma once

// The D-Bus shapes of a StatusNotifierItem (its icon and tooltip) and of a DBusMenu (its layout,
// items and events), with their marshalling.

#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

namespace corvane::sni {

// (iiay): one size of an icon, ARGB32 in network byte order.
struct IconPixmap {
    int width = 0;
    int height = 0;
    QByteArray bytes;
};
using IconPixmapList = QList<IconPixmap>;

// (sa(iiay)ss): icon name, icon, title, text.
struct ToolTip {
    QString iconName;
    IconPixmapList icon;
    QString title;
    QString text;
};

// (ia{sv}av): a menu item, its properties and, as variants, its children.
struct MenuLayout {
    int id = 0;
    QVariantMap properties;
    QList<MenuLayout> children;
};

// (ia{sv}): an item's properties.
struct MenuItem {
    int id = 0;
    QVariantMap properties;
};
using MenuItemList = QList<MenuItem>;

// (ias): the names of an item's properties that are gone.
struct MenuItemKeys {
    int id = 0;
    QStringList names;
};
using MenuItemKeysList = QList<MenuItemKeys>;

// (isvu): something that happened to an item ("clicked", "hovered", …).
struct MenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using MenuEventList = QList<MenuEvent>;

// Makes every type above known to Qt D-Bus; needed before an object using them is registered.
void registerTypes();

QDBusArgument& operator<<(QDBusArgument& argument, const IconPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, IconPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const ToolTip& tip);
const QDBusArgument& operator>>(const QDBusArgument& argument, ToolTip& tip);
QDBusArgument& operator<<(QDBusArgument& argument, const MenuLayout& layout);
const QDBusArgument& operator>>(const QDBusArgument& argument, MenuLayout& layout);
QDBusArgument& operator<<(QDBusArgument& argument, const MenuItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, MenuItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const MenuItemKeys& keys);
const QDBusArgument& operator>>(const QDBusArgument& argument, MenuItemKeys& keys);
QDBusArgument& operator<<(QDBusArgument& argument, const MenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, MenuEvent& event);

} // namespace corvane::sni

Q_DECLARE_METATYPE(corvane::sni::IconPixmap)
Q_DECLARE_METATYPE(corvane::sni::ToolTip)
Q_DECLARE_METATYPE(corvane::sni::MenuLayout)
Q_DECLARE_METATYPE(corvane::sni::MenuItem)
Q_DECLARE_METATYPE(corvane::sni::MenuItemKeys)
Q_DECLARE_METATYPE(corvane::sni::MenuEvent)
