#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QStackedWidget;

namespace corvane {
class Cell;
class Key;
class Lamp;
class PreviewsSwitchViewModel;
class ServerViewModel;
class WelcomeViewModel;
} // namespace corvane

namespace corvane::welcome {

class DoneStep;
class ReadoutColumn;
class StepScreen;
class ToolsStep;

// The welcome window's screen, 800 × 548 points below the top bar: the readout column at the left,
// and at the right the server line, the current step's screen and the footer. It polls the model
// only while it is on screen, and shows the model as it is after every change.
class WelcomeContent : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize fixedSize{800, 548};

    // With a previews model, the last step offers the live-previews switch.
    WelcomeContent(WelcomeViewModel& model, ServerViewModel& server,
                   PreviewsSwitchViewModel* previews = nullptr, QWidget* parent = nullptr);

    // The top bar's corner: the step as STEP 2/4, or the verdict on the last step. Hidden until the
    // window puts it in its top bar.
    Cell& stepCell() const { return *m_stepCell; }
    void sync();
    // Whether the desktop has a tray now, for the last step's words (a tray is assumed until told).
    void setTrayCheck(std::function<bool()> trayShown);

Q_SIGNALS:
    // The person finished: the window closes.
    void finished();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Return presses the step's own key: install on the tools step, Finish on the last.
    void keyPressEvent(QKeyEvent* event) override;

private:
    WelcomeViewModel& m_model;
    Cell* m_stepCell;
    ReadoutColumn* m_readout;
    QWidget* m_serverLine;
    QStackedWidget* m_steps;
    QList<StepScreen*> m_screens; // in the order of the steps
    DoneStep* m_done;
    Lamp* m_errorLamp;
    QLabel* m_error;
    Key* m_skip;
};

} // namespace corvane::welcome
