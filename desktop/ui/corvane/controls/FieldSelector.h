#pragma once

#include <QList>
#include <QString>
#include <QWidget>

namespace corvane {

// A row of segments in a sunken tray, one per option; the selected one stands raised like a key cap.
// An option that warns carries a red lamp and, unless selected, a reddish tint. A tap asks the owner
// to select an option (`selectRequested`); the selection changes only when the owner sets it.
class FieldSelector : public QWidget {
    Q_OBJECT
public:
    struct Option {
        QString label;
        bool warns = false;
        bool operator==(const Option&) const = default;
    };

    explicit FieldSelector(const QList<Option>& options, int selection = 0, QWidget* parent = nullptr);

    int selection() const { return m_selection; }
    void setSelection(int index);

Q_SIGNALS:
    void selectRequested(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_selection;
    // A segment had the focus when the selector was disabled (while a choice is saved): it comes back
    // to the chosen one when the selector is enabled again.
    bool m_refocus = false;
};

} // namespace corvane
