#include "app/event_log.h"

#include <gtest/gtest.h>

#include "app/context.h"
#include "app/program_exit.h"
#include "app/settings.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_files.h"

namespace {

// A clock that returns the given values in turn and then stays at the last.
EventLog::MillisecondClock clockOf(std::vector<std::int32_t> values) {
    auto next = std::make_shared<std::size_t>(0);
    return [values, next] {
        const std::int32_t value = values[std::min(*next, values.size() - 1)];
        ++*next;
        return value;
    };
}

DateTime fixedDate() {
    return DateTime{2016, 10, 11, 13, 2, 3};
}

}  // namespace

TEST(EventLog, StampShowsHoursMinutesSecondsAndMilliseconds) {
    EXPECT_EQ(elapsedStampText(0), "[00:00:00:000]  ");
    EXPECT_EQ(elapsedStampText(3600000 + 2 * 60000 + 3004), "[01:02:03:004]  ");
    EXPECT_EQ(elapsedStampText(123 * 3600000), "[12:00:00:000]  ");  // only the first two digits
}

TEST(EventLog, ShortRunWritesBannerEntriesAndSummary) {
    ScopedWorkingDirectory directory;
    EventLog log("ravelin.log", clockOf({1000, 1005, 1010, 1020, 4724}), fixedDate);
    EXPECT_TRUE(log.logEvent("", LogLevel::LogOpen));
    EXPECT_EQ(readFileText("ravelin.log"), "[00:00:00:000]  Ravelin version " + std::string(kProgramVersion) +
                                               " logfile, created at 2016-10-11, 13:02:03\r\n");
    log.logInfo("Loaded settings:");
    log.logInfo("{\r\n  \"a\": 1\r\n}");
    log.logError("Can't open config file.");
    log.logError("a second error");
    log.logEvent("ignored", static_cast<LogLevel>(9));
    EXPECT_EQ(log.firstError(), "Can't open config file.");
    // Each entry is in the file as soon as it is logged.
    EXPECT_EQ(readCrLfLines("ravelin.log").back(), "[00:00:03:724]  ERROR: a second error");
    EXPECT_TRUE(log.logEvent("", LogLevel::LogClose));
    EXPECT_EQ(readFileText("ravelin.log"),
              "[00:00:00:000]  Ravelin version " + std::string(kProgramVersion) +
                  " logfile, created at 2016-10-11, 13:02:03\r\n"
                  "[00:00:00:005]  Loaded settings:\r\n"
                  "[00:00:00:010]  {\r\n  \"a\": 1\r\n}\r\n"
                  "[00:00:00:020]  ERROR: Can't open config file.\r\n"
                  "[00:00:03:724]  ERROR: a second error\r\n"
                  "[00:00:03:724]  Ravelin exiting with 2 errors and 0 warnings\r\n");
}

TEST(EventLog, WarningsAreCountedAndPrefixed) {
    ScopedWorkingDirectory directory;
    EventLog log("ravelin.log", clockOf({7}), fixedDate);
    log.logEvent("careful", LogLevel::LogWarning);
    EXPECT_EQ(log.warningCount(), 1);
    EXPECT_EQ(log.pendingEntries().back(), "[00:00:00:000]  WARNING: careful");
}

TEST(EventLog, FatalErrorShowsBareTextClosesTheLogAndEnds) {
    ScopedWorkingDirectory directory;
    ScriptedUi ui;
    Settings settings;
    EventLog log("ravelin.log", clockOf({50}), fixedDate);
    Context context{settings, log, ui};
    openLog(context);
    try {
        raiseFatalError(context, "Didn't select the World of Tanks install dir.");
        FAIL() << "a fatal error must end the program";
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.reason, ProgramExit::Reason::FatalError);
    }
    EXPECT_EQ(
        ui.transcript,
        (std::vector<std::string>{"message error [Ravelin] Didn't select the World of Tanks install dir."}));
    const auto lines = readCrLfLines("ravelin.log");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "[00:00:00:000]  ERROR: Didn't select the World of Tanks install dir.");
    EXPECT_EQ(lines[2], "[00:00:00:000]  Ravelin exiting with 1 errors and 0 warnings");
}

TEST(EventLog, LogThatCannotBeCreatedEndsTheProgram) {
    ScopedWorkingDirectory directory;
    std::filesystem::create_directory("ravelin.log");
    ScriptedUi ui;
    Settings settings;
    EventLog log;
    Context context{settings, log, ui};
    EXPECT_FALSE(log.logEvent("", LogLevel::LogOpen));
    EXPECT_TRUE(ui.transcript.empty());
    EXPECT_THROW(openLog(context), ProgramExit);
    EXPECT_EQ(ui.transcript,
              (std::vector<std::string>{
                  "message error [Error] Can't create log file, insufficient rights? Exiting program!"}));
}

TEST(EventLog, DeletedLogIsCreatedAgainWithoutBannerAndUnwritableLogIsReported) {
    ScopedWorkingDirectory directory;
    ScriptedUi ui;
    Settings settings;
    EventLog log("ravelin.log", clockOf({1}), fixedDate);
    Context context{settings, log, ui};
    log.logEvent("", LogLevel::LogOpen);
    std::filesystem::remove("ravelin.log");
    log.logInfo("entry");
    log.logEvent("", LogLevel::LogClose);
    EXPECT_EQ(readCrLfLines("ravelin.log"),
              (std::vector<std::string>{"[00:00:00:000]  entry",
                                        "[00:00:00:000]  Ravelin exiting with 0 errors and 0 warnings"}));

    std::filesystem::remove("ravelin.log");
    std::filesystem::create_directory("ravelin.log");
    closeLog(context);
    EXPECT_EQ(ui.transcript.back(), "message error [Error] Can't write to log file, insufficient rights?");
}
