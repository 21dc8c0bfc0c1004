#pragma once

#include <corvane/look/ReadoutLamp.h>

#include <QWidget>

class QLabel;

namespace corvane {

class Lamp;

// A status line on the chassis: a lamp at the top of a sentence in ink, the sentence wrapping to the
// width it is given.
class StatusLine : public QWidget {
    Q_OBJECT
public:
    StatusLine(qreal lampSize, int points, QWidget* parent = nullptr);

    void set(ReadoutLamp lamp, const QString& text);

private:
    Lamp* m_lamp;
    QLabel* m_text;
};

} // namespace corvane
