#pragma once

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>

class QVariantAnimation;
class QWidget;

namespace corvane {

// A repeating motion of a control: it runs only while the control is on screen, the desktop allows
// motion and the control wants it, so a control off screen or held still costs nothing. Each step
// gives how far through one period it is (0 to 1); stopping gives the control its still look back.
// The control owns it and lets it go before anything the steps touch.
class OnScreenLoop : public QObject {
    Q_OBJECT
public:
    struct Steps {
        std::function<bool()> wanted;             // beyond being shown with motion allowed
        std::function<void(qreal progress)> step; // a new place in the period
        std::function<void()> stopped;            // the loop has just stopped
    };

    OnScreenLoop(QWidget& control, std::chrono::milliseconds period, Steps steps);
    ~OnScreenLoop() override;

    bool isRunning() const { return m_animation != nullptr; }
    // Starts or stops the loop as the control's own wish changed.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_control;
    std::chrono::milliseconds m_period;
    Steps m_steps;
    std::unique_ptr<QVariantAnimation> m_animation;
};

} // namespace corvane
