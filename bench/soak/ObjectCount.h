#pragma once

#include <QString>

#include <map>

// The QObjects alive in this process, tracked through Qt's hook table (the one that tools such as
// GammaRay use): every construction and destruction from the moment `install` is called.
namespace ObjectCount {

// Installs the tracking hooks after any already there; false when this Qt's hook table is not laid
// out as expected, in which case nothing is installed and nothing is tracked.
bool install();
qint64 live();
// The live objects by class name: what grew, when the count grows. Main thread.
std::map<QString, qint64> byClass();

} // namespace ObjectCount
