#pragma once

// How the atlas and game layers' reports reach the user: log lines go to the run's event log, progress to
// the Ui's progress window.

#include "platform/reporter.h"

class EventLog;
class Ui;

class ProgramReporter : public Reporter {
public:
    ProgramReporter(EventLog& log, Ui& ui) : log_(log), ui_(ui) {}

    void logInfo(std::string_view text) override;
    void logError(std::string_view text) override;
    void openProgress(std::string_view title) override;
    void setProgressText(std::string_view text) override;
    void setProgressValue(int percent) override;
    void closeProgress() override;

private:
    EventLog& log_;
    Ui& ui_;
};
