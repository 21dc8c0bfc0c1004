#pragma once

#include <corvane/supervision/PortProbe.h>

namespace corvane {

// Busy means something accepts a TCP connection on 127.0.0.1 at the port (a server bound to 0.0.0.0
// is found too).
class SocketPortProbe final : public PortProbe {
public:
    bool isBusy(int port) override;
};

} // namespace corvane
