#pragma once

#include <QWidget>

class QGraphicsEffect;
class QLabel;

namespace corvane {
class FittedLine;
class FieldLink;
class GlassesViewModel;
class Key;
class Lamp;
class StatusLine;
} // namespace corvane

namespace corvane::glasses {

// The glasses window's screen, 512 × 376 points below the top bar: the readout glass with the
// setup's word, the stage's headline and detail, and a row of keys: the helper's removal at the
// leading end, the stage's own keys at the trailing end (the hot one takes Return). Nothing starts
// until a key is pressed.
class GlassesSetupView : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize fixedSize{512, 376};

    explicit GlassesSetupView(GlassesViewModel& model, QWidget* parent = nullptr);

    void sync();

Q_SIGNALS:
    // "Done": the window closes.
    void doneRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    GlassesViewModel& m_model;
    Lamp* m_lamp;
    FittedLine* m_word;
    QGraphicsEffect* m_glow;
    QLabel* m_packaging;
    QLabel* m_headline;
    QLabel* m_detail;
    FieldLink* m_terms;
    StatusLine* m_removalProblem;
    Key* m_remove;
    Key* m_notNow;
    Key* m_getIt;
    Key* m_begin;
    Key* m_done;
};

} // namespace corvane::glasses
