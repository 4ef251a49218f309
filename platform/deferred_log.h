#pragma once

// A reporter for work done away from the reporting thread: it keeps the log lines, in order, until the
// reporting thread replays them; progress is not its business and is dropped.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/reporter.h"

class DeferredLog : public Reporter {
public:
    void logInfo(std::string_view text) override { lines_.emplace_back(false, text); }
    void logError(std::string_view text) override { lines_.emplace_back(true, text); }
    void openProgress(std::string_view) override {}
    void setProgressText(std::string_view) override {}
    void setProgressValue(int) override {}
    void closeProgress() override {}

    void replay(Reporter& reporter) const {
        for (const auto& [error, text] : lines_) error ? reporter.logError(text) : reporter.logInfo(text);
    }

private:
    std::vector<std::pair<bool, std::string>> lines_;
};
