#pragma once

#include <QCoreApplication>

#include <memory>

namespace corvane {

class AppDelegate;
struct AppBundle;

// A face with windows, as the launch sees it. The launch only holds one through this, so that the
// program that runs in the terminal never links the toolkit.
class GraphicalFace {
public:
    virtual ~GraphicalFace() = default;

    // Once launching has finished.
    virtual void applicationDidFinishLaunching() = 0;
    // What a second kestrin asks for: the panel, brought forward.
    virtual void showPanel() = 0;
};

// What a program with windows hands the launch: its application object and its face.
struct GraphicalToolkit {
    std::unique_ptr<QCoreApplication> (*application)(int& argc, char** argv);
    std::unique_ptr<GraphicalFace> (*face)(AppDelegate& delegate, const AppBundle& bundle);
};

} // namespace corvane
