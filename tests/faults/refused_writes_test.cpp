// Writes the system refuses: a disk that fills up while the game's atlases are taken apart, and a game
// folder that may not be written. The step fails with its error and changes none of the files it would
// have written.

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

#include "app/headless_commands.h"
#include "tests/faults/fault_sandbox.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/fake_game_install.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_files.h"
#include "tests/support/unprivileged.h"

namespace fs = std::filesystem;

namespace {

constexpr int kCannotMount = 77;

// Runs body in a child process whose working directory is a fresh tmpfs of the given size, mounted over
// directory in a mount namespace of the child's own, so nothing outside sees it. The child's exit code:
// 0 when body returned true, kCannotMount when no tmpfs can be mounted here (not root, say). The body runs
// the program as its own process (cli): what a forked copy of this one would run could wait forever for a
// lock another of its threads held (the DDS decoder's thread pool).
int onSmallDisk(const fs::path& directory, const std::string& size, const std::function<bool()>& body) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", directory.c_str(), "tmpfs", 0, ("size=" + size).c_str()) != 0 ||
            chdir(directory.c_str()) != 0)
            _exit(kCannotMount);
        const bool passed = body();
        std::fflush(nullptr);
        _exit(passed ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

// Runs ravelin-cli in the working directory with the words given, its standard output going to output;
// its exit code.
int cli(const std::vector<std::string>& words, const fs::path& output) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        if (!std::freopen(output.c_str(), "w", stdout) || !std::freopen("/dev/null", "w", stderr)) _exit(126);
        std::vector<char*> argv{const_cast<char*>("ravelin-cli")};
        for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        execv(RAVELIN_CLI_PATH, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::uintmax_t freeBytes() {
    return fs::space(".").available;
}

// Fills the working directory's disk until at most `free` bytes are left.
void fillDiskLeaving(std::uintmax_t free) {
    std::FILE* filler = std::fopen("filler", "wb");
    const std::vector<char> block(4096, 'f');
    while (freeBytes() > free && std::fwrite(block.data(), 1, block.size(), filler) == block.size())
        std::fflush(filler);
    std::fclose(filler);
}

bool runs(HeadlessCommand command, const std::string& argument = {}) {
    ScriptedUi ui;
    return runHeadlessCommand(command, argument, ui).succeeded;
}

// The room the files that differ take on a tmpfs (whole pages), the log aside.
std::uintmax_t bytesWritten(const Snapshot& before, const Snapshot& after) {
    std::uintmax_t bytes = 0;
    for (const auto& [name, content] : after) {
        const auto earlier = before.find(name);
        if (name != "ravelin.log" && (earlier == before.end() || earlier->second != content))
            bytes += (content.size() + 4095) / 4096 * 4096;
    }
    return bytes;
}

struct RefusedWritesTest : FaultSandbox {};

}  // namespace

// Setup over an earlier working directory, and an update, to a game whose atlases are larger (and to
// today's client, whose DDS images take the place of the PNG ones), on a disk that fills up at points
// spread over the whole step: unpacking, then cutting one atlas, then the other. Each time the step fails
// and every file stays as it was; with room made, an update succeeds.
TEST_F(RefusedWritesTest, AFullDiskKeepsTheEarlierOriginalsIconsAndCatalogues) {
    FakeGameOptions larger = smallGameWithAtlases("2.0");
    useGeneratedAtlases(larger, AtlasFixture::generate({40, 256, 128, 3, 30, 7, "contour"}),
                        AtlasFixture::generate({20, 128, 64, 3, 20, 8, "marker"}));
    const FakeGameInstall largerGame{sandbox.path() / "larger", larger};
    const FakeGameInstall todaysGame{sandbox.path() / "today", smallTodaysGameWithAtlases("2.1")};
    const fs::path measure = sandbox.path() / "needed";  // beside the small disk
    const fs::path output = sandbox.path() / "output";
    // The game Ravelin knows: a link, first to the game of before, then to its successor.
    const fs::path current = sandbox.path() / "current";
    const auto linkCurrentTo = [&](const FakeGameInstall& target) {
        fs::remove(current);
        fs::create_directory_symlink(target.directory(), current);
    };
    const std::vector<std::string> setup{"setup", current.string() + "/"};
    const std::vector<std::string> update{"update"};
    struct Case {
        const char* name;
        const std::vector<std::string>& command;
        const FakeGameInstall& next;
    };
    for (const Case& step :
         {Case{"update to larger atlases", update, largerGame},
          Case{"update to today's client", update, todaysGame}, Case{"setup again", setup, largerGame}}) {
        std::uintmax_t needed = 0;  // the room for every file the step writes, all at once
        for (const int tenths : {-1, 0, 2, 4, 6, 8, 9}) {
            SCOPED_TRACE(std::string(step.name) + ", tenths of the room it needs: " + std::to_string(tenths));
            linkCurrentTo(game);
            const int result = onSmallDisk(work, "8m", [&] {
                if (cli(setup, output) != 0) return false;
                fs::remove("ravelin.log");  // the log is the one file that may grow
                Snapshot before = snapshotOf(".");
                before.erase("ravelin.lock");  // it holds the process id of the last run
                linkCurrentTo(step.next);
                if (tenths < 0) {  // room enough: the measure
                    if (cli(step.command, output) != 0) return false;
                    writeFileText(measure.string(), std::to_string(bytesWritten(before, snapshotOf("."))));
                    return true;
                }
                fillDiskLeaving(needed * static_cast<std::uintmax_t>(tenths) / 10);
                if (cli(step.command, output) != 1 || !readFileText(output.string()).empty())
                    return false;  // nor a line saying it was done
                Snapshot after = snapshotOf(".");
                for (const char* name : {"ravelin.log", "ravelin.lock", "filler"}) after.erase(name);
                // Setup starts afresh, and remembers no version until the atlases are taken apart (when
                // its settings could be saved at all).
                std::string& settings = after["ravelin.conf"];
                if (&step.command == &setup &&
                    settings.find("\"wotLastVersion\"     : \"\",") != std::string::npos)
                    settings = before.at("ravelin.conf");
                for (const auto& [name, content] : after) {
                    if (!before.count(name) || before.at(name) != content)
                        std::fprintf(stderr, "changed by the failed step: %s\n", name.c_str());
                }
                if (after != before) return false;
                fs::remove("filler");
                if (cli(update, output) != 0) return false;
                Snapshot updated = snapshotOf(".");
                for (const char* name : {"ravelin.log", "ravelin.lock"}) updated.erase(name);
                return updated != before;
            });
            if (result == kCannotMount) GTEST_SKIP() << "no tmpfs can be mounted here (needs root)";
            EXPECT_EQ(result, 0);
            if (tenths < 0) needed = std::stoull(readFileText(measure.string()));
        }
    }
}

// A game whose folders may not be written by the user who owns them: the game's own folder with no mod
// folder yet, its mod folder with every folder in it, or only the atlas folder, which holds another mod's
// atlas. The install fails naming the folder it could not write into, and nothing changes, neither in the
// game nor in the working directory's record and backups.
TEST_F(RefusedWritesTest, AnInstallIntoAReadOnlyGameFolderChangesNothing) {
    ASSERT_TRUE(runs(HeadlessCommand::Setup, game.text()));
    ASSERT_TRUE(runs(HeadlessCommand::Build));
    constexpr uid_t kNobody = 65534;  // the user runUnprivileged becomes
    // Gives root and everything below to that user; its folders writable or not.
    const auto handOver = [](const fs::path& root, bool writableFolders) {
        const auto take = [&](const fs::path& path) {
            ASSERT_EQ(lchown(path.c_str(), kNobody, kNobody), 0);
            if (fs::is_directory(path))
                fs::permissions(path, fs::perms::owner_write,
                                writableFolders ? fs::perm_options::add : fs::perm_options::remove);
        };
        take(root);
        for (const auto& entry : fs::recursive_directory_iterator(root)) take(entry.path());
    };
    handOver(work, true);
    const fs::path mods = game.directory() / "res_mods";
    const fs::path atlases = mods / "1.0" / "gui" / "flash" / "atlases";
    struct Case {
        fs::path readOnly;
        fs::path named;
    };
    for (const Case& folder :
         {Case{game.directory(), game.directory()}, Case{mods, atlases}, Case{atlases, atlases}}) {
        SCOPED_TRACE(folder.readOnly);
        handOver(game.directory(), true);
        fs::remove_all(mods);
        if (folder.readOnly != game.directory()) {
            fs::create_directories(atlases);
            writeFileText((atlases / "battleAtlas.xml").string(), "another mod's atlas");
            handOver(mods, true);
        }
        handOver(folder.readOnly, false);
        const Snapshot gameBefore = snapshotOf(game.directory());
        Snapshot workBefore = snapshotOf(work);
        EXPECT_TRUE(runUnprivileged([&] {
            ScriptedUi ui;
            const HeadlessOutcome outcome = runHeadlessCommand(HeadlessCommand::Install, "", ui);
            return !outcome.succeeded && outcome.reason.find("(the folder " + folder.named.string() +
                                                             " is read-only)") != std::string::npos;
        }));
        // The game's mod folder, where it may be written, gets the lock file of installs.
        Snapshot gameAfter = snapshotOf(game.directory());
        gameAfter.erase("res_mods/ravelin.lock");
        EXPECT_EQ(gameAfter, gameBefore);
        // The log has its entry, and the lock file the process id of the one that held it last.
        Snapshot workAfter = snapshotOf(work);
        for (Snapshot* files : {&workBefore, &workAfter}) {
            files->erase("ravelin.log");
            files->erase("ravelin.lock");
        }
        EXPECT_EQ(workAfter, workBefore);
    }
}
