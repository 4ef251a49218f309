#include "app/program_reporter.h"

#include <string>

#include "app/event_log.h"
#include "ui/ui.h"

void ProgramReporter::logInfo(std::string_view text) {
    log_.logInfo(text);
}

void ProgramReporter::logError(std::string_view text) {
    log_.logError(text);
}

void ProgramReporter::openProgress(std::string_view title) {
    ui_.openProgressWindow(std::string(title));
}

void ProgramReporter::setProgressText(std::string_view text) {
    ui_.setProgressText(std::string(text));
}

void ProgramReporter::setProgressValue(int percent) {
    ui_.setProgressBar(percent);
}

void ProgramReporter::closeProgress() {
    ui_.closeProgressWindow();
}
