#include "platform/end_request.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace {

int requestPipe[2] = {-1, -1};

extern "C" void noteEndRequest(int) {
    const char byte = 1;
    // Async-signal-safe; a full pipe already holds a request.
    [[maybe_unused]] const ssize_t written = write(requestPipe[1], &byte, 1);
}

}  // namespace

int watchEndRequests() {
    if (requestPipe[0] >= 0) return requestPipe[0];
    if (pipe(requestPipe) != 0) return -1;
    for (const int end : requestPipe) fcntl(end, F_SETFD, FD_CLOEXEC);
    fcntl(requestPipe[1], F_SETFL, O_NONBLOCK);
    struct sigaction action {};
    action.sa_handler = noteEndRequest;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    return requestPipe[0];
}
#else
int watchEndRequests() {
    return -1;
}
#endif
