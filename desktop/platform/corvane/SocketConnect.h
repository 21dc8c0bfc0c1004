#pragma once

#include <chrono>
#include <sys/socket.h>

namespace corvane {

// Connects `socket` (blocking or not) to `address`, waiting for the connection to be made, or refused,
// for at most `limit` (milliseconds::max(): as long as it takes): whether it was made. An interrupted or
// still unfinished connect carries on by itself, so it is waited for and its outcome read, never started
// again.
bool connectWithin(int socket, const sockaddr* address, socklen_t length, std::chrono::milliseconds limit);

} // namespace corvane
