#pragma once

#include <corvane/shell/LoginItemService.h>

#include <QString>

namespace corvane {

// Start-at-login through an XDG autostart entry, $XDG_CONFIG_HOME/autostart/<bundle id>.desktop, that
// runs this copy of the application. No entry, or a hidden one, is not registered; an entry whose
// program is gone is not found. Linux asks no one's approval.
class XdgAutostartLoginItem final : public LoginItemService {
public:
    static QString standardEntryPath(const QString& bundleIdentifier);

    XdgAutostartLoginItem(QString entryPath, QString executable);

    LoginItemStatus status() override;
    std::expected<void, QString> registerItem() override;
    std::expected<void, QString> unregisterItem() override;
    void openLoginItemsSettings() override;

private:
    QString m_entryPath;
    QString m_executable;
};

} // namespace corvane
