#pragma once

// How the layers above the platform report what they do: log lines at their level and the progress of a
// long step (a title, a text line and a value from 0 to 100). The program implements it over its log and
// its windows; the layers themselves know neither.

#include <string_view>

class Reporter {
public:
    virtual ~Reporter() = default;

    virtual void logInfo(std::string_view text) = 0;
    virtual void logError(std::string_view text) = 0;

    // At most one step shows its progress at a time; opening another replaces it.
    virtual void openProgress(std::string_view title) = 0;
    virtual void setProgressText(std::string_view text) = 0;
    virtual void setProgressValue(int percent) = 0;
    virtual void closeProgress() = 0;
};
