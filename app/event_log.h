#pragma once

// The run's event log. The file "ravelin.log" is created with a banner line at start; entries are kept
// in memory and appended in one pass at the end, followed by a summary line with the error and warning
// counts. Every line starts with the time elapsed since the first call, "[hh:mm:ss:mmm]  ".

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/date_format.h"

class Ui;

enum class LogLevel : std::uint8_t { LogOpen = 0, LogClose = 1, LogInfo = 2, LogWarning = 3, LogError = 4 };

inline constexpr std::string_view kProgramVersion = "0.3.1";
inline constexpr std::string_view kLogFileName = "ravelin.log";

class EventLog {
public:
    using MillisecondClock = std::function<std::int32_t()>;
    using DateSource = std::function<DateTime()>;

    // The path is taken relative to the working directory; the clocks default to the platform's.
    explicit EventLog(Ui& ui, std::string path = std::string(kLogFileName), MillisecondClock clock = {},
                      DateSource date = {});

    // LogOpen that cannot create the file and an error with the fatal flag end the program by throwing
    // ProgramExit, after the message box and (for the fatal error) closing the log.
    void logEvent(std::string_view text, LogLevel level, bool fatal = false);

    void logInfo(std::string_view text) { logEvent(text, LogLevel::LogInfo); }
    void logError(std::string_view text) { logEvent(text, LogLevel::LogError); }
    [[noreturn]] void raiseFatal(std::string_view text);

    std::int32_t errorCount() const { return errorCount_; }
    std::int32_t warningCount() const { return warningCount_; }
    const std::vector<std::string>& pendingEntries() const { return pendingEntries_; }

private:
    std::string elapsedStamp();
    void open(const std::string& stamp);
    void close(const std::string& stamp);

    Ui& ui_;
    std::string path_;
    MillisecondClock clock_;
    DateSource date_;
    std::int32_t startTime_ = 0;
    std::int32_t errorCount_ = 0;
    std::int32_t warningCount_ = 0;
    std::vector<std::string> pendingEntries_;
};

// "[" hours ":" minutes ":" seconds ":" milliseconds "]  " for an elapsed time in milliseconds.
std::string elapsedStampText(std::int32_t elapsedMilliseconds);
