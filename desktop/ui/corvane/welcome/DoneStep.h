#pragma once

#include "StepScreen.h"

class QGraphicsEffect;

#include <functional>

namespace corvane {
class PreviewsSwitchViewModel;
} // namespace corvane

namespace corvane::welcome {

class DoneStep final : public StepScreen {
    Q_OBJECT
public:
    // With a previews model, the live-previews switch shows once the setup is at least almost ready.
    DoneStep(WelcomeViewModel& model, PreviewsSwitchViewModel* previews, QWidget* parent = nullptr);
    void sync() override;
    // Whether the desktop has a tray now; without one, the notes say how to come back instead.
    void setTrayCheck(std::function<bool()> trayShown);
    Key* returnKey() const override { return m_finish; }

Q_SIGNALS:
    void finished();

private:
    Silk* m_silk;
    Lamp* m_lamp;
    QLabel* m_headline;
    QGraphicsEffect* m_glow;
    QLabel* m_title;
    QLabel* m_lede;
    QWidget* m_tools;
    Lamp* m_toolsLamp;
    QLabel* m_toolsNote;
    Key* m_install;
    QLabel* m_whileInstalling;
    QWidget* m_skipped;
    QLabel* m_skippedNote;
    QWidget* m_previews = nullptr;
    Key* m_finish;
    QLabel* m_glassesNote;
    QLabel* m_whereNote;
    std::function<bool()> m_trayShown = [] { return true; };
};

} // namespace corvane::welcome
