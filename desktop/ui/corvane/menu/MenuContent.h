#pragma once

#include <corvane/status/MenuWords.h>

#include <corvane/controls/ChassisGround.h>

#include <array>
#include <utility>

namespace corvane {
class Key;
class ServerViewModel;
class UpdatesModel;
} // namespace corvane

namespace corvane::menu {

class LoginItemPanel;
class ReadoutGlass;
class RowKey;

// The menu panel, 400 points wide: the readout glass, the rows that open the other windows, the update
// key, start at login, and the Start, Stop and Quit keys. It reads the server's and the updates' models
// after every change and calls their actions; opening a window and quitting are asked of whoever shows
// the panel.
class MenuContent : public ChassisGround {
    Q_OBJECT
public:
    static constexpr int fixedWidth = 400;
    // The rows that open a window: the row's title and the window's identifier.
    static constexpr std::array<std::pair<QStringView, QStringView>, 4> windowRows{{
        {MenuWords::setUpGlasses, u"glasses"},
        {MenuWords::agentPermissions, u"approval"},
        {MenuWords::setupGuide, u"welcome"},
        {MenuWords::serverLog, u"log"},
    }};

    MenuContent(ServerViewModel& model, UpdatesModel& updates, QWidget* parent = nullptr);

    // Shows the models as they are now; on screen, the panel does so after every change by itself.
    void sync();

Q_SIGNALS:
    // "glasses", "approval" or "welcome".
    void openWindowRequested(const QString& identifier);
    void quitRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void syncWhileShown();

private:
    ServerViewModel& m_model;
    UpdatesModel& m_updates;
    ReadoutGlass* m_glass;
    RowKey* m_update;
    LoginItemPanel* m_login;
    Key* m_start;
    Key* m_stop;
};

} // namespace corvane::menu
