#include "app/work_lock.h"
#include "mods/game_lock.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/headless_commands.h"
#include "app/main_flow.h"
#include "platform/directory_lock.h"
#include "tests/support/fake_game_install.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_files.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#endif

namespace {

std::string heldBy(long process) {
    return " (process " + std::to_string(process) + ")";
}

HeadlessOutcome run(HeadlessCommand command, const std::string& argument = {}) {
    ScriptedUi ui;
    return runHeadlessCommand(command, argument, ui, SearchPlaces{});
}

}  // namespace

// A second lock of the same process stands for a second process: both are the OS's, per open file.
TEST(DirectoryLock, OneHolderAtATimeUntilItLetsGo) {
    ScopedWorkingDirectory directory;
    std::optional<DirectoryLock> first = DirectoryLock::take(directory.text(), "x.lock");
    ASSERT_TRUE(first->held());
    const DirectoryLock second = DirectoryLock::take(directory.text(), "x.lock");
    EXPECT_EQ(second.status(), DirectoryLock::Status::Taken);
    EXPECT_EQ(second.holder(), currentProcessId());
    first.reset();
    EXPECT_TRUE(DirectoryLock::take(directory.text(), "x.lock").held());
    EXPECT_EQ(DirectoryLock::take(directory.text() + "missing/", "x.lock").status(),
              DirectoryLock::Status::Unusable);
}

#ifndef _WIN32
TEST(DirectoryLock, AnotherProcessHoldsItAndAKilledOneNoLonger) {
    ScopedWorkingDirectory directory;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const DirectoryLock lock = DirectoryLock::take(directory.text(), "x.lock");
        const char held = lock.held() ? 'y' : 'n';
        if (write(ready[1], &held, 1) != 1) _exit(1);
        pause();  // until killed
        _exit(0);
    }
    char held = 0;
    ASSERT_EQ(read(ready[0], &held, 1), 1);
    ASSERT_EQ(held, 'y');
    const DirectoryLock refused = DirectoryLock::take(directory.text(), "x.lock");
    EXPECT_EQ(refused.status(), DirectoryLock::Status::Taken);
    EXPECT_EQ(refused.holder(), static_cast<long>(child));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(DirectoryLock::take(directory.text(), "x.lock").held());
    close(ready[0]);
    close(ready[1]);
}
#endif

// What a second Ravelin in the same folder does: says so and goes, having written nothing; the commands
// that only read still run.
TEST(WorkLock, ASecondRavelinInTheFolderIsTurnedAwayBeforeItWrites) {
    ScopedWorkingDirectory directory;
    FakeGameInstall game{directory.path() / "game", smallGameWithAtlases()};
    ASSERT_TRUE(run(HeadlessCommand::Setup, game.text()).succeeded);
    const std::string log = readFileText("ravelin.log");
    const DirectoryLock other = DirectoryLock::take(directory.text(), std::string(kLockFileName));
    ASSERT_TRUE(other.held());
    const std::string refusal =
        "Another Ravelin is working in this folder" + heldBy(currentProcessId()) + ": " + directory.text();

    ScriptedUi desktop;
    EXPECT_EQ(runProgram(desktop, SearchPlaces{}), 1);
    EXPECT_EQ(desktop.transcript, std::vector<std::string>{"message error [Ravelin] " + refusal});
    for (const HeadlessCommand command : {HeadlessCommand::Setup, HeadlessCommand::Build,
                                          HeadlessCommand::Icons, HeadlessCommand::Uninstall}) {
        const HeadlessOutcome outcome = run(command, game.text());
        EXPECT_FALSE(outcome.succeeded);
        EXPECT_EQ(outcome.reason, refusal);
    }
    EXPECT_TRUE(run(HeadlessCommand::Status).succeeded);
    EXPECT_EQ(readFileText("ravelin.log"), log);
#ifndef _WIN32
    const int status = std::system((std::string(RAVELIN_CLI_PATH) + " build > out.txt 2> err.txt").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(readFileText("err.txt"), "ravelin-cli: " + refusal + "\n");
#endif
}

TEST(WorkLock, TwoWorkingDirectoriesDoNotInstallIntoOneGameAtOnce) {
    ScopedWorkingDirectory directory;
    FakeGameInstall game{directory.path() / "game", smallGameWithAtlases()};
    ASSERT_TRUE(run(HeadlessCommand::Setup, game.text()).succeeded);
    ASSERT_TRUE(run(HeadlessCommand::Build).succeeded);
    std::filesystem::create_directories(game.directory() / "res_mods");
    std::optional<DirectoryLock> other =
        DirectoryLock::take(game.text() + "res_mods/", std::string(kLockFileName));
    ASSERT_TRUE(other->held());
    const HeadlessOutcome refused = run(HeadlessCommand::Install);
    EXPECT_EQ(refused.reason, "Another Ravelin is installing into " + game.text() +
                                  heldBy(currentProcessId()) + "; try again when it has finished.");
    EXPECT_FALSE(std::filesystem::exists(game.directory() / "res_mods" / "1.20.0.0"));
    other.reset();
    EXPECT_TRUE(run(HeadlessCommand::Install).succeeded);
}
