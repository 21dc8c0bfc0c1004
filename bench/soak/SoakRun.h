#pragma once

#include "Figures.h"
#include "Inventory.h"

#include <QString>
#include <QStringList>
#include <qcorotask.h>

#include <map>

namespace corvane {
class AppDelegate;
class TrayFace;
} // namespace corvane
class PaintCount;
class SoakClock;

// The soak's course over the running tray face: a warm-up, then the panel opened and closed, each named
// window opened and closed, the network switched back and forth, and a day of the refresh clock; the
// figures after the warm-up and after each phase, and at the end how much they grew.
class SoakRun {
public:
    // How often each phase does its thing; `scaled` multiplies every count (never below one).
    struct Counts {
        int panelCycles = 2000;
        int windowOpens = 300; // of each window
        int networkSwitches = 200;
        int dayTicks = 86'400;
        static Counts scaled(double scale);
    };
    // The growth from the warm-up to the end that the soak accepts.
    static constexpr double residentGoalMiB = 2.0;

    SoakRun(corvane::AppDelegate& delegate, corvane::TrayFace& face, SoakClock& clock, Counts counts);

    // Runs it all and says how it went: 0 when the growth meets the goals, 1 when it does not or a
    // phase could not be carried out.
    QCoro::Task<int> run();

private:
    QCoro::Task<bool> warmUp();
    QCoro::Task<bool> panelPhase();
    QCoro::Task<bool> windowsPhase();
    QCoro::Task<bool> networkPhase();
    QCoro::Task<bool> dayPhase();

    // The tray's own way to show the panel, until it has painted; Escape, as the person closes it,
    // until it has gone (its window given back).
    QCoro::Task<bool> showPanel();
    QCoro::Task<bool> closePanel();
    // The window opened as the tray opens it, until it has painted, then closed with its close key.
    QCoro::Task<bool> openAndClose(const QString& identifier);
    // The network preference switched, until the restarted server answers the model.
    QCoro::Task<bool> switchNetwork();
    // One tick of the refresh clock, released and followed until the model waits for the next.
    QCoro::Task<bool> tick();

    struct Reading {
        Figures figures;
        Inventory inventory;
    };
    // Lets what the last action started run out, the refresh clock held meanwhile, then reads the
    // figures.
    QCoro::Task<Reading> settledReading();
    // Which objects and descriptors came or went between two readings, when any did.
    static void sayChanges(const Inventory& now, const Inventory& earlier);
    bool fail(const QString& what);

    corvane::AppDelegate& m_delegate;
    corvane::TrayFace& m_face;
    SoakClock& m_clock;
    const Counts m_counts;
    const QStringList m_windows;
    PaintCount* m_panelPaints = nullptr;           // owned by the panel
    std::map<QString, PaintCount*> m_windowPaints; // each owned by its window
    int m_dayPanelPaints = 0;
};
