#pragma once

#include <corvane/controls/ChassisGround.h>

class QLabel;

namespace corvane {
class Key;
class PreviewsSwitchViewModel;
} // namespace corvane

namespace corvane::previews {

// Everything live previews can and can't do, 560 points wide, over the window that opened it. While
// the model asks, it offers "Not now" (Escape) and "Turn on" (Return); opened only to be read, it
// offers "Close" alone (Return or Escape).
class LivePreviewsConsentSheet : public ChassisGround {
    Q_OBJECT
public:
    static constexpr int fixedWidth = 560;

    explicit LivePreviewsConsentSheet(PreviewsSwitchViewModel& model, QWidget* parent = nullptr);

    void sync();
    // Over `window`: centred across it, its top just under the window's top bar; alone, on the
    // middle of the screen.
    void placeOver(const QWidget* window);

Q_SIGNALS:
    // Closed by the person or the window system while it still asked or was being read.
    void dismissed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    PreviewsSwitchViewModel& m_model;
    QLabel* m_title;
    Key* m_notNow;
    Key* m_turnOn;
    Key* m_close;
};

} // namespace corvane::previews
