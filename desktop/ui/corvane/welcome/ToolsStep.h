#pragma once

#include "StepScreen.h"

namespace corvane {
class Cell;
} // namespace corvane

namespace corvane::welcome {

class ToolsStep final : public StepScreen {
    Q_OBJECT
public:
    explicit ToolsStep(WelcomeViewModel& model, QWidget* parent = nullptr);
    void sync() override;
    Key* returnKey() const override { return m_install; }

private:
    Cell* m_status;
    Lamp* m_lamp;
    QLabel* m_statusNote;
    QLabel* m_whatToClick;
    QLabel* m_closedNote;
    Key* m_install;
};

} // namespace corvane::welcome
