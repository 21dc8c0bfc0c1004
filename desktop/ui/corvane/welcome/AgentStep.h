#pragma once

#include "StepScreen.h"

class QLineEdit;

namespace corvane::welcome {

class AgentStep final : public StepScreen {
    Q_OBJECT
public:
    explicit AgentStep(WelcomeViewModel& model, QWidget* parent = nullptr);
    void sync() override;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* m_choices;
    Key* m_signIn;
    Key* m_showKeys;
    QWidget* m_keys;
    QList<std::pair<QLineEdit*, Key*>> m_keyFields;
    QWidget* m_challenge;
    FittedLine* m_userCode;
    QLabel* m_address;
};

} // namespace corvane::welcome
