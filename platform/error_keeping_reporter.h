#pragma once

// A reporter that passes every report on and keeps the errors, for a step that returns them.

#include <string>
#include <string_view>
#include <vector>

#include "platform/reporter.h"

class ErrorKeepingReporter : public Reporter {
public:
    // The errors go into errors, which must outlive the reporter.
    ErrorKeepingReporter(Reporter& reporter, std::vector<std::string>& errors)
        : reporter_(reporter), errors_(errors) {}

    void logInfo(std::string_view text) override { reporter_.logInfo(text); }
    void logError(std::string_view text) override {
        errors_.emplace_back(text);
        reporter_.logError(text);
    }
    void openProgress(std::string_view title) override { reporter_.openProgress(title); }
    void setProgressText(std::string_view text) override { reporter_.setProgressText(text); }
    void setProgressValue(int percent) override { reporter_.setProgressValue(percent); }
    void closeProgress() override { reporter_.closeProgress(); }

private:
    Reporter& reporter_;
    std::vector<std::string>& errors_;
};
