#include "app/program_exit.h"

#include "app/context.h"
#include "app/event_log.h"
#include "ui/ui.h"

void openLog(Context& context) {
    if (context.log.logEvent("", LogLevel::LogOpen)) return;
    const std::string message = "Can't create log file, insufficient rights? Exiting program!";
    context.ui.showMessage("Error", message, MessageKind::Error);
    throw ProgramExit{ProgramExit::Reason::LogNotCreated, message};
}

void closeLog(Context& context) {
    if (!context.log.logEvent("", LogLevel::LogClose))
        context.ui.showMessage("Error", "Can't write to log file, insufficient rights?", MessageKind::Error);
}

void takeErrorExit(Context& context, const std::string& message) {
    context.ui.showMessage("Error", message, MessageKind::Error);
    throw ProgramExit{ProgramExit::Reason::ErrorExit, message};
}

void raiseFatalError(Context& context, std::string_view text) {
    context.log.logError(text);
    context.ui.showMessage("Ravelin", std::string(text), MessageKind::Error);
    closeLog(context);
    throw ProgramExit{ProgramExit::Reason::FatalError, std::string(text)};
}
