#include "app/event_log.h"

#include <chrono>
#include <span>

#include "platform/file_system.h"
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
            append(stamp + std::string(text));
            break;
        case LogLevel::LogWarning:
            ++warningCount_;
            append(stamp + "WARNING: " + std::string(text));
            break;
        case LogLevel::LogError:
            ++errorCount_;
            if (!firstError_) firstError_ = std::string(text);
            lastError_ = std::string(text);
            append(stamp + "ERROR: " + std::string(text));
            break;
    }
    return true;
}

namespace {

// Appends the lines and closes, which flushes them; the bytes written, or -1 when anything failed.
std::int64_t appendLines(const std::string& path, std::span<const std::string> lines) {
    std::optional<TextFile> file = openTextFile(path, true);
    if (!file) return -1;
    std::int64_t bytes = 0;
    for (const std::string& line : lines) {
        writeLine(*file, line);
        bytes += static_cast<std::int64_t>(line.size()) + 2;
    }
    return closeTextFile(*file) ? bytes : -1;
}

}  // namespace

bool EventLog::open(const std::string& stamp) {
    std::optional<TextFile> file = createTextFile(path_);
    if (!file) return false;
    const std::string banner = stamp + "Ravelin version " + std::string(kProgramVersion) +
                               " logfile, created at " + formatDate("%YYYY-%mm-%dd, %hh:%ii:%ss", date_());
    writeLine(*file, banner);
    writtenBytes_ = closeTextFile(*file) ? static_cast<std::int64_t>(banner.size()) + 2 : -1;
    writtenEntries_ = 0;
    return true;
}

void EventLog::append(std::string entry) {
    pendingEntries_.push_back(std::move(entry));
    if (writtenBytes_ < 0) return;
    const std::int64_t bytes =
        fileSize(path_) == writtenBytes_ ? appendLines(path_, std::span(pendingEntries_).last(1)) : -1;
    if (bytes < 0) {
        writtenBytes_ = -1;
        return;
    }
    writtenBytes_ += bytes;
    writtenEntries_ = pendingEntries_.size();
}

bool EventLog::close(const std::string& stamp) {
    const bool intact = writtenBytes_ >= 0 && fileSize(path_) == writtenBytes_;
    const auto first = pendingEntries_.begin() + static_cast<std::ptrdiff_t>(intact ? writtenEntries_ : 0);
    std::vector<std::string> lines(first, pendingEntries_.end());
    lines.push_back(stamp + "Ravelin exiting with " + std::to_string(errorCount_) + " errors and " +
                    std::to_string(warningCount_) + " warnings");
    writtenBytes_ = -1;  // the run is over: nothing more goes in as it comes
    return appendLines(path_, lines) >= 0;
}
