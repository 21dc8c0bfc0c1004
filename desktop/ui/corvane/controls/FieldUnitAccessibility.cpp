#include "FieldUnitAccessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace corvane::FieldUnitAccessibility {

namespace {

constexpr const char* expandedProperty = "kestrinExpanded";

// A key: a button named by its words (as written, not as printed), pressed by the reader's "Press".
// A key that shows and hides part of its screen says so, and whether that part is shown: asked each
// time, since the interface is made as soon as the key is.
class KeyInterface final : public QAccessibleWidget {
public:
    explicit KeyInterface(QWidget* key)
        : QAccessibleWidget(key, QAccessible::Button) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.focusable = true;
        if (const QVariant expanded = widget()->property(expandedProperty); expanded.isValid()) {
            state.expandable = true;
            state.expanded = expanded.toBool();
            state.collapsed = !state.expanded;
        }
        return state;
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return button().text();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction())
            button().click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QAbstractButton& button() const { return *static_cast<QAbstractButton*>(widget()); }
};

QAccessible::Role roleOf(const QString& className) {
    static const QHash<QString, QAccessible::Role> roles{
        {QStringLiteral("corvane::AppWindow"), QAccessible::Window},
        {QStringLiteral("corvane::TrayPopup"), QAccessible::Window},
        {QStringLiteral("corvane::Silk"), QAccessible::StaticText},
        {QStringLiteral("corvane::Cell"), QAccessible::StaticText},
        {QStringLiteral("corvane::Lamp"), QAccessible::StaticText},
        {QStringLiteral("corvane::StatusLine"), QAccessible::StaticText},
        {QStringLiteral("corvane::menu::LampLine"), QAccessible::StaticText},
        {QStringLiteral("corvane::Gauge"), QAccessible::ProgressBar},
    };
    return roles.value(className, QAccessible::NoRole);
}

QAccessibleInterface* fieldUnitInterface(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    if (className == u"corvane::Key")
        return new KeyInterface(widget);
    const QAccessible::Role role = roleOf(className);
    return role == QAccessible::NoRole ? nullptr : new QAccessibleWidget(widget, role);
}

} // namespace

void install() {
    static const bool installed = [] {
        QAccessible::installFactory(fieldUnitInterface);
        return true;
    }();
    (void)installed;
}

void setExpands(QWidget& key, bool expanded) {
    const QVariant before = key.property(expandedProperty);
    key.setProperty(expandedProperty, expanded);
    if (before.isValid() && before.toBool() != expanded) {
        QAccessible::State changed;
        changed.expanded = true;
        changed.collapsed = true;
        QAccessibleStateChangeEvent event(&key, changed);
        QAccessible::updateAccessibility(&event);
    }
}

std::function<void(QWidget&)>& announcementListener() {
    static std::function<void(QWidget&)> listener;
    return listener;
}

void setAnnouncementListener(std::function<void(QWidget&)> listener) {
    announcementListener() = std::move(listener);
}

void announce(QWidget& widget) {
    if (!widget.isVisible())
        return;
    if (announcementListener())
        announcementListener()(widget);
    QAccessibleEvent alert(&widget, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    QAccessibleEvent named(&widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
}

} // namespace corvane::FieldUnitAccessibility
