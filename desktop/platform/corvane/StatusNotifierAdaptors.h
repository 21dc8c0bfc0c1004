#pragma once

// The two faces a StatusNotifierItem shows on the bus: the item itself (org.kde.StatusNotifierItem)
// and its menu (com.canonical.dbusmenu). They hold what the host reads and pass on what it asks.

#include "StatusNotifierTypes.h"

#include <corvane/shell/TrayIcon.h>

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>

namespace corvane::sni {

class ItemAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ emptyText)
    Q_PROPERTY(QString IconName READ emptyText)
    Q_PROPERTY(corvane::sni::IconPixmapList IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ emptyText)
    Q_PROPERTY(corvane::sni::IconPixmapList OverlayIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionIconName READ emptyText)
    Q_PROPERTY(corvane::sni::IconPixmapList AttentionIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionMovieName READ emptyText)
    Q_PROPERTY(corvane::sni::ToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)

public:
    ItemAdaptor(QObject* object, TrayIcon& icon, QString id, QString title, QDBusObjectPath menu);

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    const QString& id() const { return m_id; }
    const QString& title() const { return m_title; }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString emptyText() const { return {}; }
    const IconPixmapList& iconPixmap() const { return m_pixmaps; }
    IconPixmapList noPixmap() const { return {}; }
    ToolTip toolTip() const { return {{}, {}, m_toolTip, {}}; }
    bool itemIsMenu() const { return false; } // a click is for the panel; the menu has its own click
    const QDBusObjectPath& menu() const { return m_menu; }

    void setPixmaps(IconPixmapList pixmaps);
    void setToolTip(QString text);

public Q_SLOTS:
    void Activate(int x, int y);
    void SecondaryActivate(int x, int y);
    void ContextMenu(int x, int y);
    void Scroll(int delta, const QString& orientation);

Q_SIGNALS:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);

private:
    TrayIcon& m_icon;
    QString m_id;
    QString m_title;
    QDBusObjectPath m_menu;
    IconPixmapList m_pixmaps;
    QString m_toolTip;
};

// The menu: a root (id 0) whose children are the rows, row n having the id n + 1.
class MenuAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    MenuAdaptor(QObject* object, TrayIcon& icon);

    uint version() const { return 3; }
    QString textDirection() const { return QStringLiteral("ltr"); }
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

    void setRows(QList<TrayIcon::MenuRow> rows);

public Q_SLOTS:
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                   corvane::sni::MenuLayout& layout);
    QList<corvane::sni::MenuItem> GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames);
    QDBusVariant GetProperty(int id, const QString& name);
    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    QList<int> EventGroup(const QList<corvane::sni::MenuEvent>& events);
    bool AboutToShow(int id);
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

Q_SIGNALS:
    // (Signatures name the lists in full: Qt D-Bus knows the types by those names.)
    void ItemsPropertiesUpdated(const QList<corvane::sni::MenuItem>& updated,
                                const QList<corvane::sni::MenuItemKeys>& removed);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    bool knows(int id) const { return id >= 0 && id <= m_rows.size(); }
    QVariantMap properties(int id, const QStringList& names) const;
    MenuLayout layoutOf(int id, int depth, const QStringList& names) const;

    TrayIcon& m_icon;
    QList<TrayIcon::MenuRow> m_rows;
    uint m_revision = 1;
};

} // namespace corvane::sni
