#include "StatusNotifierAdaptors.h"

#include <QTimer>

namespace corvane::sni {

using namespace Qt::Literals::StringLiterals;

ItemAdaptor::ItemAdaptor(QObject* object, TrayIcon& icon, QString id, QString title, QDBusObjectPath menu)
    : QDBusAbstractAdaptor(object)
    , m_icon(icon)
    , m_id(std::move(id))
    , m_title(std::move(title))
    , m_menu(std::move(menu)) {}

void ItemAdaptor::setPixmaps(IconPixmapList pixmaps) {
    m_pixmaps = std::move(pixmaps);
    Q_EMIT NewIcon();
}

void ItemAdaptor::setToolTip(QString text) {
    m_toolTip = std::move(text);
    Q_EMIT NewToolTip();
}

// A host's call returns at once: what it starts (a panel shown) runs in the next turn of the loop.
void ItemAdaptor::Activate(int x, int y) {
    QTimer::singleShot(0, &m_icon, [icon = &m_icon, at = QPoint(x, y)] { Q_EMIT icon->activated(at); });
}

// A middle click does what a click does.
void ItemAdaptor::SecondaryActivate(int x, int y) {
    Activate(x, y);
}

// Hosts show the menu from its DBusMenu themselves; one that asks the item instead gets the panel,
// which holds the same rows.
void ItemAdaptor::ContextMenu(int x, int y) {
    Activate(x, y);
}

void ItemAdaptor::Scroll(int, const QString&) {}

MenuAdaptor::MenuAdaptor(QObject* object, TrayIcon& icon)
    : QDBusAbstractAdaptor(object)
    , m_icon(icon) {}

void MenuAdaptor::setRows(QList<TrayIcon::MenuRow> rows) {
    if (rows == m_rows)
        return;
    const bool sameShape =
        rows.size() == m_rows.size() &&
        std::equal(rows.begin(), rows.end(), m_rows.begin(),
                   [](const auto& a, const auto& b) { return a.separator == b.separator; });
    if (sameShape) {
        // Only words or enabled states changed: the host is told which rows.
        MenuItemList updated;
        for (qsizetype i = 0; i < rows.size(); ++i)
            if (rows[i] != m_rows[i])
                updated.append(MenuItem{static_cast<int>(i + 1), {}});
        m_rows = std::move(rows);
        for (MenuItem& item : updated)
            item.properties = properties(item.id, {});
        Q_EMIT ItemsPropertiesUpdated(updated, {});
        return;
    }
    m_rows = std::move(rows);
    Q_EMIT LayoutUpdated(++m_revision, 0);
}

QVariantMap MenuAdaptor::properties(int id, const QStringList& names) const {
    QVariantMap all;
    if (id == 0) {
        all.insert(u"children-display"_s, u"submenu"_s);
    } else {
        const TrayIcon::MenuRow& row = m_rows.at(id - 1);
        if (row.separator) {
            all.insert(u"type"_s, u"separator"_s);
        } else {
            all.insert(u"label"_s, QString(row.title).replace(u'_', u"__"_s)); // '_' marks an access key
            all.insert(u"enabled"_s, row.enabled);
        }
        all.insert(u"visible"_s, true);
    }
    if (names.isEmpty())
        return all;
    QVariantMap asked;
    for (const QString& name : names)
        if (all.contains(name))
            asked.insert(name, all.value(name));
    return asked;
}

MenuLayout MenuAdaptor::layoutOf(int id, int depth, const QStringList& names) const {
    MenuLayout layout{id, properties(id, names), {}};
    if (id == 0 && depth != 0)
        for (int row = 1; row <= m_rows.size(); ++row)
            layout.children.append(MenuLayout{row, properties(row, names), {}});
    return layout;
}

uint MenuAdaptor::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                            MenuLayout& layout) {
    layout = layoutOf(knows(parentId) ? parentId : 0, recursionDepth, propertyNames);
    return m_revision;
}

MenuItemList MenuAdaptor::GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames) {
    MenuItemList items;
    for (const int id : ids)
        if (knows(id))
            items.append(MenuItem{id, properties(id, propertyNames)});
    return items;
}

QDBusVariant MenuAdaptor::GetProperty(int id, const QString& name) {
    return QDBusVariant(knows(id) ? properties(id, {}).value(name) : QVariant());
}

void MenuAdaptor::Event(int id, const QString& eventId, const QDBusVariant&, uint) {
    if (eventId != u"clicked"_s || id < 1 || id > m_rows.size())
        return;
    const TrayIcon::MenuRow& row = m_rows.at(id - 1);
    if (row.separator || !row.enabled)
        return;
    QTimer::singleShot(0, &m_icon, [icon = &m_icon, index = id - 1] { Q_EMIT icon->rowTriggered(index); });
}

QList<int> MenuAdaptor::EventGroup(const MenuEventList& events) {
    QList<int> unknown;
    for (const MenuEvent& event : events) {
        if (knows(event.id))
            Event(event.id, event.eventId, event.data, event.timestamp);
        else
            unknown.append(event.id);
    }
    return unknown;
}

bool MenuAdaptor::AboutToShow(int) {
    return false; // the rows are always current
}

QList<int> MenuAdaptor::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    for (const int id : ids)
        if (!knows(id))
            idErrors.append(id);
    return {};
}

} // namespace corvane::sni
