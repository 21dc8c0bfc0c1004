#pragma once

#include <QWidget>

#include <optional>

namespace corvane {

// How far a piece of work has come: a recessed well filled from the leading edge in the live colour.
// A gauge without a value shows an empty well. Screen readers read it as a percentage.
class Gauge : public QWidget {
    Q_OBJECT
public:
    static constexpr int height = 8;

    explicit Gauge(QWidget* parent = nullptr);

    std::optional<double> value() const { return m_value; }
    // From 0 to 1; none when how far is not known.
    void setValue(std::optional<double> value);

    QSize sizeHint() const override { return {160, height}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<double> m_value;
};

} // namespace corvane
