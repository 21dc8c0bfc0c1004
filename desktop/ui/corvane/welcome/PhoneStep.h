#pragma once

#include "StepScreen.h"

namespace corvane {
class FittedLine;
class Spinner;
class ServerViewModel;
} // namespace corvane

namespace corvane::welcome {

class PhoneStep final : public StepScreen {
    Q_OBJECT
public:
    PhoneStep(WelcomeViewModel& model, ServerViewModel& server, QWidget* parent = nullptr);
    void sync() override;

private:
    ServerViewModel& m_server;
    QWidget* m_connected;
    QLabel* m_connectedText;
    QWidget* m_dial;
    FittedLine* m_address;
    QLabel* m_alternate;
    Silk* m_codeCaption;
    FittedLine* m_code;
    Key* m_newCode;
    QLabel* m_noAddress;
    QWidget* m_homeNetwork;
    QWidget* m_turningOn;
    Key* m_reach;
    Spinner* m_loading;
    QWidget* m_waiting;
};

} // namespace corvane::welcome
