#pragma once

namespace corvane {

// Tells whether something already listens on a loopback TCP port.
class PortProbe {
public:
    virtual ~PortProbe() = default;
    virtual bool isBusy(int port) = 0;
};

} // namespace corvane
