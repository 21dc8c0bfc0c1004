#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace corvane {
class ServerLogModel;
} // namespace corvane

namespace corvane::logs {

// The server's log window, below its top bar: a search field that marks every line holding what is
// typed, "copy all" and "open folder"; the log's last lines on the glass, following new ones while the
// window is open (and staying where the person scrolled to, unless that is the end); under it where
// the log is and how many lines show, or that there is no log yet. The log is read only while the view
// is on screen.
class LogView : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize fixedSize{720, 480};

    explicit LogView(ServerLogModel& model, QWidget* parent = nullptr);

    QPlainTextEdit& text() const { return *m_text; }
    QLineEdit& search() const { return *m_search; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void showAll();
    void showAdded(const QStringList& lines);
    void markMatches();
    void sayWhere();

    ServerLogModel& m_model;
    QLineEdit* m_search;
    QPlainTextEdit* m_text;
    QLabel* m_where;
    bool m_open = false;
};

} // namespace corvane::logs
