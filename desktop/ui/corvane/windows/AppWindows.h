#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>

namespace corvane {

class AppWindow;

// The application's named windows, each made once, on first opening, and brought forward when opened
// again: "welcome", "glasses", "approval", "update" and "still-running".
class AppWindows : public QObject {
    Q_OBJECT
public:
    // Fills a new window with its screen.
    using Builder = std::function<void(AppWindow& window)>;

    explicit AppWindows(QObject* parent = nullptr);
    ~AppWindows() override;

    // Who builds the window of `identifier`; a window nobody builds shows only what it is for.
    void setBuilder(const QString& identifier, Builder builder);
    // Shows the window, making it the first time, and brings it to the front.
    void open(const QString& identifier);
    // Shows the window without taking the keyboard from what the person is doing: for news they did
    // not ask for.
    void showQuietly(const QString& identifier);
    // Brings forward the open window whose identifier begins with `identifier`; none: nothing happens.
    void activateWindow(const QString& identifier);
    AppWindow* window(const QString& identifier) const;

private:
    // The window, made and placed the first time; none for an identifier no scene has.
    AppWindow* built(const QString& identifier);

    std::map<QString, Builder> m_builders;
    std::map<QString, std::unique_ptr<AppWindow>> m_windows;
};

} // namespace corvane
