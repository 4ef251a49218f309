#pragma once

// The run's event log. The file "ravelin.log" is created with a banner line at start; each entry is
// appended and flushed as it is made, so a killed run leaves every entry up to the kill, and closing adds
// a summary line with the error and warning counts. Every line starts with the time elapsed since the
// first call, "[hh:mm:ss:mmm]  ".

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/program_version.h"
#include "platform/date_format.h"

enum class LogLevel : std::uint8_t { LogOpen = 0, LogClose = 1, LogInfo = 2, LogWarning = 3, LogError = 4 };

inline constexpr std::string_view kLogFileName = "ravelin.log";

class EventLog {
public:
    using MillisecondClock = std::function<std::int32_t()>;
    using DateSource = std::function<DateTime()>;

    // The path is taken relative to the working directory; the clocks default to the platform's.
    explicit EventLog(std::string path = std::string(kLogFileName), MillisecondClock clock = {},
                      DateSource date = {});

    // The one log operation. False only when LogOpen cannot create the file or LogClose cannot write it;
    // what then happens to the program is its caller's decision.
    bool logEvent(std::string_view text, LogLevel level);

    void logInfo(std::string_view text) { logEvent(text, LogLevel::LogInfo); }
    void logError(std::string_view text) { logEvent(text, LogLevel::LogError); }

    // The text of the run's first error entry, if there was one.
    const std::optional<std::string>& firstError() const { return firstError_; }
    const std::optional<std::string>& lastError() const { return lastError_; }
    std::int32_t errorCount() const { return errorCount_; }
    std::int32_t warningCount() const { return warningCount_; }
    const std::vector<std::string>& pendingEntries() const { return pendingEntries_; }

private:
    std::string elapsedStamp();
    bool open(const std::string& stamp);
    void append(std::string entry);
    bool close(const std::string& stamp);

    std::string path_;
    MillisecondClock clock_;
    DateSource date_;
    std::int32_t startTime_ = 0;
    std::int32_t errorCount_ = 0;
    std::int32_t warningCount_ = 0;
    std::vector<std::string> pendingEntries_;
    // How much of the run is in the file: its size and the entries in it. A file that no longer has that
    // size (deleted, replaced, a failed append) gets no more entries as they come; closing then appends
    // every entry, as to a log written only at the end.
    std::int64_t writtenBytes_ = -1;
    std::size_t writtenEntries_ = 0;
    std::optional<std::string> firstError_;
    std::optional<std::string> lastError_;
};

// "[" hours ":" minutes ":" seconds ":" milliseconds "]  " for an elapsed time in milliseconds.
std::string elapsedStampText(std::int32_t elapsedMilliseconds);
