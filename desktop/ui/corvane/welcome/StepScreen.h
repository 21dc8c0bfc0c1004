#pragma once

#include <QWidget>

class QColor;
class QFont;
class QHBoxLayout;
class QLabel;

namespace corvane {
class FittedLine;
class Key;
class Lamp;
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
    struct Heading {
        Silk* silk = nullptr;
        QLabel* title = nullptr;
        QLabel* lede = nullptr;
    };
    void addHeading();
    // "Step n of m · {text}" as the step's silk line says it.
    QString stepSilk(const QString& text) const;

    // The parts every step is built from.
    static QLabel* label(const QString& text, const QFont& font, const QColor& colour, bool wraps = true);
    // The small note: 14-point text in the silk colour.
    static QLabel* smallNote(const QString& text = {});
    static QHBoxLayout* row(int spacing = 8);
    // A lamp at the top of a note beside it.
    static QWidget* lampNote(Lamp* lamp, QWidget* note);
    // A value in the large display face, in the live colour with a soft glow.
    static FittedLine* glowing(int points);

    WelcomeViewModel& m_model;
    Heading m_heading; // filled by addHeading()
};

} // namespace corvane::welcome
