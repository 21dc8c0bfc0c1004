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
    Silk* m_silk = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_lede = nullptr;
    QWidget* m_choices;
    Key* m_signIn;
    Key* m_showKeys;
    QWidget* m_keys;
    QList<std::pair<QLineEdit*, Key*>> m_keyFields;
    QWidget* m_challenge;
    QLabel* m_userCode;
    QLabel* m_address;
};

} // namespace corvane::welcome
