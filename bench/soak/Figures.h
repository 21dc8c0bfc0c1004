#pragma once

#include <QString>

// What the soak watches grow: this process's resident memory, its open descriptors, its threads and
// its live QObjects; and, to tell growth from memory the allocator merely keeps, how much of the heap
// is in use.
struct Figures {
    double residentMiB = 0;
    // Its parts: anonymous memory (the heap among it), pages of files (the code first run, fonts) and
    // shared memory (the windows' pictures).
    double anonymousMiB = 0;
    double fileMiB = 0;
    double sharedMiB = 0;
    double heapInUseMiB = 0;
    qsizetype descriptors = 0;
    int threads = 0;
    qint64 objects = 0;

    static Figures now();
    // "resident 61.2 MiB (anonymous 20.3, files 38.5, shared 2.4; heap in use 4.1), 34 descriptors,
    // 9 threads, 5120 QObjects".
    QString text() const;
    // The same figures as a growth: "+0.3 MiB, +0 descriptors, ...".
    QString growthText() const;
    Figures operator-(const Figures& earlier) const;
};
