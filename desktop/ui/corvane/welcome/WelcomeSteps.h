#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace corvane {
class Cell;
class Key;
class Lamp;
class PreviewsSwitchViewModel;
class ServerViewModel;
class Silk;
class WelcomeViewModel;
} // namespace corvane

namespace corvane::welcome {

// One step's screen: built once, then shown as the model says each time it changes.
class StepScreen : public QWidget {
    Q_OBJECT
public:
    virtual void sync() = 0;
    // The key that Return presses on this screen, when it shows one.
    virtual Key* returnKey() const { return nullptr; }

protected:
    StepScreen(WelcomeViewModel& model, QWidget* parent = nullptr);
    // The step's silk line, title and lede, at the top of the screen.
    void addHeading(Silk*& silk, QLabel*& title, QLabel*& lede);
    // "Step n of m · {text}" as the step's silk line says it.
    QString stepSilk(const QString& text) const;

    WelcomeViewModel& m_model;
};

class ToolsStep final : public StepScreen {
    Q_OBJECT
public:
    explicit ToolsStep(WelcomeViewModel& model, QWidget* parent = nullptr);
    void sync() override;
    Key* returnKey() const override { return m_install; }

private:
    Silk* m_silk = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_lede = nullptr;
    Cell* m_status;
    Lamp* m_lamp;
    QLabel* m_statusNote;
    QLabel* m_closedNote;
    Key* m_install;
};

class FolderStep final : public StepScreen {
    Q_OBJECT
public:
    explicit FolderStep(WelcomeViewModel& model, QWidget* parent = nullptr);
    void sync() override;

private:
    Silk* m_silk = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_lede = nullptr;
    Lamp* m_readyLamp;
    Silk* m_ready;
    QLabel* m_folder;
    QLabel* m_voiceNote;
    Key* m_choose;
    QList<Lamp*> m_folderLamps;
    QWidget* m_asking;
    QLabel* m_deniedHelp;
    Key* m_notNow;
    Key* m_continue;
};

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

class PhoneStep final : public StepScreen {
    Q_OBJECT
public:
    PhoneStep(WelcomeViewModel& model, ServerViewModel& server, QWidget* parent = nullptr);
    void sync() override;

private:
    ServerViewModel& m_server;
    Silk* m_silk = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_lede = nullptr;
    QWidget* m_connected;
    QLabel* m_connectedText;
    QWidget* m_dial;
    QLabel* m_address;
    QLabel* m_alternate;
    Silk* m_codeCaption;
    QLabel* m_code;
    Key* m_newCode;
    QLabel* m_noAddress;
    QWidget* m_homeNetwork;
    QWidget* m_turningOn;
    Key* m_reach;
    QWidget* m_waiting;
};

class DoneStep final : public StepScreen {
    Q_OBJECT
public:
    // With a previews model, the live-previews switch shows once the setup is at least almost ready.
    DoneStep(WelcomeViewModel& model, PreviewsSwitchViewModel* previews, QWidget* parent = nullptr);
    void sync() override;
    Key* returnKey() const override { return m_finish; }

Q_SIGNALS:
    void finished();

private:
    Silk* m_silk;
    Lamp* m_lamp;
    QLabel* m_headline;
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
};

} // namespace corvane::welcome
