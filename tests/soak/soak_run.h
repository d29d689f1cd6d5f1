#pragma once
// An accelerated day of the auto-refresh process: the program's main window
// on its real panes and Internet layer, fed by the radar simulator on a fast
// clock, with faults injected from a seeded sequence and the process
// restarted after each forced shut-down as a user would. Every check that
// fails is recorded as a violation.
#include "soak/fault_plan.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>

namespace nubivista::soak {

struct SoakOptions {
    double simulatedHours = 24;
    double timeScale = 80; // simulated seconds per real second
    int maxFaults = -1;    // -1: as many as the plan draws
    int minGapFrames = 3;  // frames between faults
    int maxGapFrames = 7;
    unsigned seed = 20261207; // the fault sequence
    QString site = QStringLiteral("kmkx");
    bool verbose = false;
};

struct SoakSummary {
    int imagesStored = 0;
    int backDatedImages = 0; // stored by a back-dated start
    QMap<QString, int> faultsByKind;
    int forcedShutDowns = 0;
    int restarts = 0;
    int backDatedRestarts = 0; // restarts that went through the loop page
    int recordChanges = 0;
    int imagesVerified = 0;
    qint64 memoryAfterFirstHourKb = 0;
    qint64 peakMemoryKb = 0;
    qint64 finalMemoryKb = 0;
    qint64 longestStallMs = 0;
    double simulatedHours = 0;
    double realSeconds = 0;
    QStringList violations;

    int faultsInjected() const;
    QString text() const;
};

class SoakRun;

// Sets up, runs for the simulated hours and takes everything down again.
SoakSummary runSoak(const SoakOptions& options);

} // namespace nubivista::soak
