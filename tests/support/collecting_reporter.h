#pragma once

// A reporter for the layers' tests: keeps the errors, ignores the rest.

#include <string>
#include <string_view>
#include <vector>

#include "platform/reporter.h"

class CollectingReporter : public Reporter {
public:
    void logInfo(std::string_view) override {}
    void logError(std::string_view text) override { errors.emplace_back(text); }
    void openProgress(std::string_view) override {}
    void setProgressText(std::string_view) override {}
    void setProgressValue(int) override {}
    void closeProgress() override {}

    std::vector<std::string> errors;
};
