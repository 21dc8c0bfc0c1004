#include "SocketPortProbe.h"

#include <corvane/support/UniqueFd.h>

#include <corvane/SocketConnect.h>

#include <arpa/inet.h>
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
    // Loopback answers or refuses at once; only an interrupted connect is waited for.
    return connectWithin(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address,
                         std::chrono::milliseconds::max());
}

} // namespace corvane
