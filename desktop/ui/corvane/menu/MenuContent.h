#pragma once

#include <corvane/ChassisGround.h>

namespace corvane {
class Key;
class ServerViewModel;
} // namespace corvane

namespace corvane::menu {

class LoginItemPanel;
class ReadoutGlass;

// The menu panel, 400 points wide: the readout glass, the rows that open the other windows, start at
// login, and the Start, Stop and Quit keys. It reads the server's model after every change and calls
// its actions; opening a window and quitting are asked of whoever shows the panel.
class MenuContent : public ChassisGround {
    Q_OBJECT
public:
    static constexpr int width = 400;

    explicit MenuContent(ServerViewModel& model, QWidget* parent = nullptr);

    // Shows the model as it is now, when the panel is on screen.
    void sync();

Q_SIGNALS:
    // "glasses", "approval" or "welcome".
    void openWindowRequested(const QString& identifier);
    void quitRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    ServerViewModel& m_model;
    ReadoutGlass* m_glass;
    LoginItemPanel* m_login;
    Key* m_start;
    Key* m_stop;
};

} // namespace corvane::menu
