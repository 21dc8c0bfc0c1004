#include "SocketPortProbe.h"

#include <corvane/support/UniqueFd.h>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace corvane {

bool SocketPortProbe::isBusy(int port) {
    const UniqueFd socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.isValid())
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return true;
    if (errno != EINTR)
        return false;
    // An interrupted connect carries on by itself; calling connect again would only report EALREADY.
    // Wait for it to finish and read its outcome instead.
    pollfd finished{.fd = socket.get(), .events = POLLOUT, .revents = 0};
    while (::poll(&finished, 1, -1) < 0 && errno == EINTR) {
    }
    int error = 0;
    socklen_t size = sizeof error;
    return ::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

} // namespace corvane
