#pragma once

// The operating system's request that the program end (SIGTERM, or SIGINT from Ctrl+C, on Linux), turned
// into something an event loop can watch: the signal handler only writes a byte into a pipe.

// Installs the handlers once and returns the pipe's end to read, which becomes readable on a request; -1
// where there is no such signal (Windows, whose programs hear of the session's end by a message) or the
// pipe cannot be made.
int watchEndRequests();
