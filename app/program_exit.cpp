#include "app/program_exit.h"

#include "app/context.h"
#include "app/event_log.h"
#include "platform/localized_text.h"
#include "ui/ui.h"

void openLog(Context& context) {
    if (context.log.logEvent("", LogLevel::LogOpen)) return;
    const std::string message = localized("Can't create log file, insufficient rights? Exiting program!");
    context.ui.showMessage(localized("Error"), message, MessageKind::Error);
    throw ProgramExit{ProgramExit::Reason::LogNotCreated, message};
}

void closeLog(Context& context) {
    if (!context.log.logEvent("", LogLevel::LogClose))
        context.ui.showMessage(localized("Error"), localized("Can't write to log file, insufficient rights?"),
                               MessageKind::Error);
}

void takeErrorExit(Context& context, std::string_view message) {
    const std::string shown = localized(message);
    context.ui.showMessage(localized("Error"), shown, MessageKind::Error);
    throw ProgramExit{ProgramExit::Reason::ErrorExit, shown};
}

void raiseFatalError(Context& context, std::string_view text, std::string_view shown) {
    context.log.logError(text);
    const std::string message = shown.empty() ? localizedLine(text) : std::string(shown);
    context.ui.showMessage("Ravelin", message, MessageKind::Error);
    closeLog(context);
    throw ProgramExit{ProgramExit::Reason::FatalError, message};
}
