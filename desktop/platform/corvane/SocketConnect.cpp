#include "SocketConnect.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <poll.h>

namespace corvane {

bool connectWithin(int socket, const sockaddr* address, socklen_t length, std::chrono::milliseconds limit) {
    if (::connect(socket, address, length) == 0)
        return true;
    // EAGAIN: a local listener whose queue is full, for a socket that does not block.
    if (errno != EINPROGRESS && errno != EINTR && errno != EAGAIN)
        return false;
    const QDeadlineTimer deadline(limit);
    pollfd finished{.fd = socket, .events = POLLOUT, .revents = 0};
    int ready = 0;
    while ((ready = ::poll(&finished, 1, static_cast<int>(deadline.remainingTime()))) < 0 && errno == EINTR) {
    }
    int error = 0;
    socklen_t size = sizeof error;
    return ready == 1 && ::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

} // namespace corvane
