#pragma once

// The program's controlled ends (the error exit, a fatal error, a log that cannot be created) throw
// ProgramExit, caught by the function that runs the whole program or job. Unwinding releases whatever is
// still open.

#include <string>
#include <string_view>

struct Context;

struct ProgramExit {
    enum class Reason { ErrorExit, FatalError, LogNotCreated };

    Reason reason;
    std::string message;  // the text the user was shown
};

// Creates the log with its banner; a log that cannot be created is shown and ends the program.
void openLog(Context& context);
// Appends the run's entries and the summary line; a log that cannot be written is shown.
void closeLog(Context& context);
// The error box, then the end: settings not saved, log not closed. The message is the English text,
// shown in the user's language.
[[noreturn]] void takeErrorExit(Context& context, std::string_view message);
// The error entry, the bare text in a box titled "Ravelin", the log closed, then the end. The log gets
// the English text; the box its translation (localizedLine), or the text given as shown.
[[noreturn]] void raiseFatalError(Context& context, std::string_view text, std::string_view shown = {});
