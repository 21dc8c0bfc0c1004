#pragma once

#include <corvane/look/ReadoutLamp.h>

#include <QLabel>
#include <QWidget>

namespace corvane {
class Lamp;
}

namespace corvane::menu {

// The menu's small pieces of text. Sentences are labels, so they wrap and screen readers read them.

// A sentence on the readout glass, dimmed when it is secondary.
QLabel* glassSentence(const QString& text = {}, bool dim = false);
// A sentence on the window body, in ink when it matters.
QLabel* chassisSentence(const QString& text = {}, bool ink = false);
// Sets a glass or chassis sentence's words and colour.
void setSentence(QLabel* label, const QString& text, const QColor& colour);

// A lamp followed by a sentence on the glass; read as one element.
class LampLine : public QWidget {
    Q_OBJECT
public:
    explicit LampLine(QWidget* parent = nullptr);
    // `spoken` is what a screen reader says; the words shown when nothing else is given.
    void set(ReadoutLamp lamp, const QString& text, const QString& spoken = {});

private:
    Lamp* m_lamp;
    QLabel* m_text;
};

// An address in the monospaced face: the largest of 16, 14 and 12 points at which it fits one line,
// else 12 points over several lines. It can be selected and copied.
class AddressText : public QLabel {
    Q_OBJECT
public:
    explicit AddressText(QWidget* parent = nullptr);
    void setAddress(const QString& address);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fit();
    int m_points = 16;
};

} // namespace corvane::menu
