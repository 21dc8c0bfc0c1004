#include "AppWindows.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/KeyboardUse.h>
#include <corvane/controls/WindowTopBar.h>
#include <corvane/windows/AppWindow.h>

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

struct Scene {
    QString identifier;
    QString title;
    // What the window is for, said plainly until its screen is built.
    QString purpose;
};

const std::array<Scene, 6>& scenes() {
    static const std::array<Scene, 6> all{{
        {u"welcome"_s, u"Welcome to Kestrin"_s,
         u"This window will walk you through setting up Kestrin: your project folder, an agent and your phone."_s},
        {u"glasses"_s, u"Set Up Your Glasses"_s,
         u"This window will set up your AR glasses over USB and connect them to Kestrin."_s},
        {u"approval"_s, u"What Can the Agents Do?"_s,
         u"This window will let you choose how much Claude and Codex may do without asking you."_s},
        {u"update"_s, u"Software Update"_s, u"This window will tell you about a newer version of Kestrin."_s},
        {u"log"_s, u"Server Log"_s,
         u"This window will show the last lines of the server's log as they are written."_s},
        {u"still-running"_s, u"Kestrin"_s,
         u"This window will tell you how to bring Kestrin's panel back on a desktop without a tray."_s},
    }};
    return all;
}

// A frameless window is placed by nobody: without this it would open in the screen's corner. It opens
// in the middle of the screen the pointer is on; later it comes back wherever it was left.
void centre(QWidget& window) {
    window.adjustSize();
    const QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect placed = window.frameGeometry();
    placed.moveCenter(screen->availableGeometry().center());
    window.move(placed.topLeft());
}

} // namespace

AppWindows::AppWindows(QObject* parent)
    : QObject(parent) {}

AppWindows::~AppWindows() = default;

void AppWindows::setBuilder(const QString& identifier, Builder builder) {
    m_builders[identifier] = std::move(builder);
}

AppWindow* AppWindows::window(const QString& identifier) const {
    const auto found = m_windows.find(identifier);
    return found == m_windows.end() ? nullptr : found->second.get();
}

AppWindow* AppWindows::built(const QString& identifier) {
    if (!window(identifier)) {
        const auto scene = std::ranges::find(scenes(), identifier, &Scene::identifier);
        if (scene == scenes().end())
            return nullptr;
        auto made = std::make_unique<AppWindow>(scene->title);
        if (const auto builder = m_builders.find(identifier); builder != m_builders.end()) {
            builder->second(*made);
        } else {
            auto* purpose = new QLabel(scene->purpose);
            purpose->setTextFormat(Qt::PlainText);
            purpose->setWordWrap(true);
            purpose->setFixedWidth(480);
            purpose->setFont(FieldUnitText::text(14));
            FieldUnitText::setColour(*purpose, FU::ink);
            made->content()->addWidget(purpose);
        }
        centre(*made);
        m_windows[identifier] = std::move(made);
    }
    return window(identifier);
}

void AppWindows::open(const QString& identifier) {
    AppWindow* shown = built(identifier);
    if (!shown)
        return;
    shown->setAttribute(Qt::WA_ShowWithoutActivating, false);
    const bool opening = !shown->isVisible();
    shown->show();
    if (opening)
        KeyboardUse::focusFirstControl(*shown, &shown->topBar());
    activateWindow(identifier);
}

void AppWindows::showQuietly(const QString& identifier) {
    AppWindow* shown = built(identifier);
    if (!shown || shown->isVisible())
        return;
    shown->setAttribute(Qt::WA_ShowWithoutActivating, true);
    shown->show();
}

void AppWindows::activateWindow(const QString& identifier) {
    for (const auto& [id, made] : m_windows) {
        if (!id.startsWith(identifier) || !made->isVisible())
            continue;
        made->raise();
        made->activateWindow();
        return;
    }
}

} // namespace corvane
