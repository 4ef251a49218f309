#include "app/event_log.h"

#include <chrono>

#include "platform/text_file.h"
#include "platform/text_utilities.h"

namespace {

std::int32_t platformMilliseconds() {
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    // Only differences are used, so the counter may wrap like the platform's 32-bit one.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(now.count()));
}

}  // namespace

std::string elapsedStampText(std::int32_t elapsed) {
    const std::int32_t hours = elapsed / 3600000;
    const std::int32_t minutes = (elapsed - hours * 3600000) / 60000;
    const std::int32_t seconds = (elapsed - hours * 3600000 - minutes * 60000) / 1000;
    const std::int32_t milliseconds = elapsed - hours * 3600000 - minutes * 60000 - seconds * 1000;
    return "[" + padLeft(std::to_string(hours), 2, '0') + ":" + padLeft(std::to_string(minutes), 2, '0') +
           ":" + padLeft(std::to_string(seconds), 2, '0') + ":" +
           padLeft(std::to_string(milliseconds), 3, '0') + "]  ";
}

EventLog::EventLog(std::string path, MillisecondClock clock, DateSource date)
    : path_(std::move(path)),
      clock_(clock ? std::move(clock) : MillisecondClock(platformMilliseconds)),
      date_(date ? std::move(date) : DateSource(currentDateTime)) {}

std::string EventLog::elapsedStamp() {
    const std::int32_t now = clock_();
    if (startTime_ == 0) startTime_ = now;
    const auto elapsed =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(startTime_));
    return elapsedStampText(elapsed);
}

bool EventLog::logEvent(std::string_view text, LogLevel level) {
    const std::string stamp = elapsedStamp();
    switch (level) {
        case LogLevel::LogOpen:
            return open(stamp);
        case LogLevel::LogClose:
            return close(stamp);
        case LogLevel::LogInfo:
            pendingEntries_.push_back(stamp + std::string(text));
            break;
        case LogLevel::LogWarning:
            pendingEntries_.push_back(stamp + "WARNING: " + std::string(text));
            ++warningCount_;
            break;
        case LogLevel::LogError:
            pendingEntries_.push_back(stamp + "ERROR: " + std::string(text));
            ++errorCount_;
            if (!firstError_) firstError_ = std::string(text);
            lastError_ = std::string(text);
            break;
    }
    return true;
}

bool EventLog::open(const std::string& stamp) {
    std::optional<TextFile> file = createTextFile(path_);
    if (!file) return false;
    writeLine(*file, stamp + "Ravelin version " + std::string(kProgramVersion) + " logfile, created at " +
                         formatDate("%YYYY-%mm-%dd, %hh:%ii:%ss", date_()));
    closeTextFile(*file);
    return true;
}

bool EventLog::close(const std::string& stamp) {
    std::optional<TextFile> file = openTextFile(path_, true);
    if (!file) return false;
    for (const std::string& entry : pendingEntries_) writeLine(*file, entry);
    writeLine(*file, stamp + "Ravelin exiting with " + std::to_string(errorCount_) + " errors and " +
                         std::to_string(warningCount_) + " warnings");
    closeTextFile(*file);
    return true;
}
