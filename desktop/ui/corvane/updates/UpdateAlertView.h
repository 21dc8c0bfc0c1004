#pragma once

#include <corvane/updates/UpdateAlert.h>

#include <QWidget>

class QLabel;
class QHBoxLayout;

namespace corvane {
class Gauge;
class Key;
class Lamp;
class ScrollWell;
class UpdatesModel;
} // namespace corvane

namespace corvane::updates {

// The update alert, 512 points wide below the window's top bar: the readout glass with the update's
// word, the headline and detail, a gauge while the archive arrives, the release notes as plain text
// while a version is offered, and the alert's keys at the trailing end (Return presses the hot one,
// Escape the one that dismisses).
class UpdateAlertView : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize fixedSize{512, 360};

    explicit UpdateAlertView(UpdatesModel& model, QWidget* parent = nullptr);

    void sync();
    // The answer closing the window gives: the dismissing key's, if the alert has one.
    void dismiss();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Closing the window answers as Escape does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    UpdatesModel& m_model;
    Lamp* m_lamp;
    QLabel* m_word;
    QLabel* m_headline;
    QLabel* m_detail;
    Gauge* m_gauge;
    QWidget* m_notesCaption;
    QLabel* m_notes;
    ScrollWell* m_notesArea;
    QHBoxLayout* m_keys;
    QList<UpdateAlertKey> m_shownKeys;
};

} // namespace corvane::updates
