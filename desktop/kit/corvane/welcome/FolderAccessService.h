#pragma once

#include <corvane/welcome/FolderAccess.h>

#include <qcorotask.h>

namespace corvane {

// The system's answer for one folder, found without blocking the main thread.
class FolderAccessService {
public:
    virtual ~FolderAccessService() = default;
    virtual QCoro::Task<FolderAccessAnswer> ask(ProtectedFolder folder) = 0;
};

} // namespace corvane
