#pragma once

#include <corvane/controls/ChassisPanel.h>

class QLabel;

namespace corvane {
class FieldToggle;
class Key;
class Lamp;
class ServerViewModel;
} // namespace corvane

namespace corvane::menu {

// Start at login: the switch, what the system says of it (or what went wrong, with a waiting lamp),
// and the way to the system's settings when it asks for approval.
class LoginItemPanel : public ChassisPanel {
    Q_OBJECT
public:
    explicit LoginItemPanel(ServerViewModel& model, QWidget* parent = nullptr);
    void sync();

private:
    ServerViewModel& m_model;
    FieldToggle* m_toggle;
    Lamp* m_problemLamp;
    QLabel* m_sentence;
    Key* m_openSettings;
};

} // namespace corvane::menu
