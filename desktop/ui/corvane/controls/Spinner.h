#pragma once

#include <QWidget>

#include <memory>

namespace corvane {

class OnScreenLoop;

// A small spinning progress indicator, for a wait whose length no one knows: twelve spokes, the
// brightest going round once a second. It turns only while on screen, and holds still (every spoke
// alike) while the desktop asks for less motion. A busy indicator to screen readers.
class Spinner : public QWidget {
    Q_OBJECT
public:
    explicit Spinner(int size = 16, QWidget* parent = nullptr);
    ~Spinner() override;

    QSize sizeHint() const override { return {m_size, m_size}; }
    // Whether it turns now.
    bool isTurning() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_size;
    int m_lead = 0;                       // the brightest spoke
    std::unique_ptr<OnScreenLoop> m_turn; // last, so it goes before the rest
};

} // namespace corvane
