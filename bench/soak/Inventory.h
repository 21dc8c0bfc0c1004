#pragma once

#include <QStringList>

#include <map>

// What this process holds at one moment, in detail: its live QObjects by class and its open
// descriptors by what they are open on. Two inventories compared say what grew.
struct Inventory {
    std::map<QString, qint64> classes;
    QStringList descriptors; // "socket:[1234]", "/dev/null", ...

    static Inventory now();
    // Whether a connection to this port on this machine is open now.
    static bool connectedTo(int port);
    // "QTimer +200, QProcess -1" and "socket:[1234]" for what is open now and was not before.
    QStringList classesGrownSince(const Inventory& earlier) const;
    QStringList descriptorsOpenedSince(const Inventory& earlier) const;
};
