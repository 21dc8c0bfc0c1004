#include "SocketPortProbe.h"

#include <arpa/inet.h>
#include <cerrno>
#include <corvane/UniqueFd.h>
#include <netinet/in.h>
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
    int connected = 0;
    do {
        connected = ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (connected != 0 && errno == EINTR);
    return connected == 0;
}

} // namespace corvane
