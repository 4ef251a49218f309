#include "app/event_log.h"

#include <chrono>

#include "app/program_exit.h"
#include "platform/text_file.h"
#include "platform/text_utilities.h"
#include "ui/ui.h"

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
    return "[" + padLeft(integerText(hours), 2, '0') + ":" + padLeft(integerText(minutes), 2, '0') + ":" +
           padLeft(integerText(seconds), 2, '0') + ":" + padLeft(integerText(milliseconds), 3, '0') + "]  ";
}

EventLog::EventLog(Ui& ui, std::string path, MillisecondClock clock, DateSource date)
    : ui_(ui),
      path_(std::move(path)),
      clock_(clock ? std::move(clock) : MillisecondClock(platformMilliseconds)),
      date_(date ? std::move(date) : DateSource(currentDateTime)) {}

std::string EventLog::elapsedStamp() {
    const std::int32_t now = clock_();
    if (startTime_ == 0) startTime_ = now;
    const auto elapsed =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(startTime_));
    return elapsedStampText(elapsed);
}

void EventLog::logEvent(std::string_view text, LogLevel level, bool fatal) {
    const std::string stamp = elapsedStamp();
    switch (level) {
        case LogLevel::LogOpen:
            open(stamp);
            return;
        case LogLevel::LogClose:
            close(stamp);
            return;
        case LogLevel::LogInfo:
            pendingEntries_.push_back(stamp + std::string(text));
            return;
        case LogLevel::LogWarning:
            pendingEntries_.push_back(stamp + "WARNING: " + std::string(text));
            ++warningCount_;
            return;
        case LogLevel::LogError:
            pendingEntries_.push_back(stamp + "ERROR: " + std::string(text));
            ++errorCount_;
            if (fatal) {
                ui_.showMessage("Ravelin", std::string(text), MessageKind::Error);
                close(elapsedStamp());
                throw ProgramExit{ProgramExit::Reason::FatalError, std::string(text)};
            }
            return;
    }
}

void EventLog::raiseFatal(std::string_view text) {
    logEvent(text, LogLevel::LogError, true);
    throw ProgramExit{ProgramExit::Reason::FatalError, std::string(text)};  // not reached
}

void EventLog::open(const std::string& stamp) {
    std::optional<TextFile> file = createTextFile(path_);
    if (!file) {
        const std::string message = "Can't create log file, insufficient rights? Exiting program!";
        ui_.showMessage("Error", message, MessageKind::Error);
        throw ProgramExit{ProgramExit::Reason::LogNotCreated, message};
    }
    writeLine(*file, stamp + "Ravelin version " + std::string(kProgramVersion) + " logfile, created at " +
                         formatDate("%YYYY-%mm-%dd, %hh:%ii:%ss", date_()));
    closeTextFile(*file);
}

void EventLog::close(const std::string& stamp) {
    std::optional<TextFile> file = openTextFile(path_, true);
    if (!file) {
        ui_.showMessage("Error", "Can't write to log file, insufficient rights?", MessageKind::Error);
        return;
    }
    for (const std::string& entry : pendingEntries_) writeLine(*file, entry);
    writeLine(*file, stamp + "Ravelin exiting with " + integerText(errorCount_) + " errors and " +
                         integerText(warningCount_) + " warnings");
    closeTextFile(*file);
}
