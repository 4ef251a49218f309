#pragma once

// The program's controlled ends (the error exit, a fatal error, a log that cannot be created) throw this,
// caught by the function that runs the whole program. Unwinding releases whatever is still open.

#include <string>

struct ProgramExit {
    enum class Reason { ErrorExit, FatalError, LogNotCreated };

    Reason reason;
    std::string message;  // the text the user was shown
};
