#pragma once

#include <QWidget>

namespace corvane {

// The top bar of a window: its caption printed in the middle, 52 points high, with room for the
// window's own buttons on either side.
class WindowTopBar : public QWidget {
    Q_OBJECT
public:
    explicit WindowTopBar(const QString& label, QWidget* parent = nullptr);
};

} // namespace corvane
