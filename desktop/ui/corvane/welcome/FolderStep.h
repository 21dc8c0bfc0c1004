#pragma once

#include "StepScreen.h"

namespace corvane {
class GlassPanel;
} // namespace corvane

namespace corvane::welcome {

class FolderStep final : public StepScreen {
    Q_OBJECT
public:
    explicit FolderStep(WelcomeViewModel& model, QWidget* parent = nullptr);
    void sync() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitFolder();

    Lamp* m_readyLamp;
    Silk* m_ready;
    GlassPanel* m_folderField;
    QLabel* m_folder;
    QLabel* m_voiceNote;
    Key* m_choose;
    QList<Lamp*> m_folderLamps;
    QWidget* m_asking;
    QLabel* m_deniedHelp;
    Key* m_notNow;
    Key* m_continue;
};

} // namespace corvane::welcome
