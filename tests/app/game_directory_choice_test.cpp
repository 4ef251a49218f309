#include "app/game_directory_choice.h"

#include <gtest/gtest.h>

#include "app/program_exit.h"
#include "platform/path_separator.h"
#include "tests/support/fake_game_install.h"
#include "tests/support/test_context.h"

namespace {

struct InstallDirectoryTest : ::testing::Test {
    TestContext t;
    FakeGameInstall game{t.directory.path() / "World_of_Tanks"};

    std::vector<std::string> questions() const { return t.ui.linesStartingWith("message question"); }
};

const std::string kAbortQuestion =
    "message question [Error] You abort the selection, there is no valid directory!\r\nTry again?";
const std::string kMissingQuestion =
    "message question [Error] The selected directory does not exist!\r\nSelect another one?";
const std::string kNoExecutableQuestion =
    "message question [Error] Can't find the World of Tanks® executeable, maybe it is the wrong "
    "directory?\r\n"
    "Select another one?";

}  // namespace

TEST_F(InstallDirectoryTest, AcceptsADirectoryWithTheGameAndStoresItsVersion) {
    t.ui.folders.push_back(game.directory().string());  // without trailing separator
    selectInstallDirectory(t.context);
    EXPECT_EQ(t.settings.wotInstallDir, game.text());
    EXPECT_EQ(t.settings.wotLastVersion, "1.20.0.0");
    EXPECT_EQ(t.entries(),
              (std::vector<std::string>{"Selecting new World of Tanks® install directory.",
                                        "Valid World of Tanks® install dir found: " + game.text() + ".",
                                        "Get game client version: 1.20.0.0"}));
    EXPECT_EQ(t.ui.transcript.front().rfind("folder [Select the WoT install dir:] ", 0), 0u);

    // The next choice starts at the chosen directory while it exists.
    t.ui.folders.push_back(game.text());
    selectInstallDirectory(t.context);
    EXPECT_EQ(t.ui.linesStartingWith("folder").back(), "folder [Select the WoT install dir:] " + game.text());
    std::filesystem::remove_all(game.directory());
    t.ui.folders.push_back(game.text());
    EXPECT_THROW(selectInstallDirectory(t.context), ProgramExit);
    EXPECT_NE(t.ui.linesStartingWith("folder").back(), "folder [Select the WoT install dir:] " + game.text());
}

TEST_F(InstallDirectoryTest, RetriesWithYesUntilAValidChoice) {
    std::filesystem::create_directory("empty-exe");
    writeFileText("empty-exe/WorldOfTanks.exe", "");
    t.ui.folders = {"", t.directory.text() + "missing", t.directory.text() + "empty-exe/", game.text()};
    t.ui.answers = {MessageAnswer::Yes, MessageAnswer::Yes, MessageAnswer::Yes};
    selectInstallDirectory(t.context);
    EXPECT_EQ(questions(),
              (std::vector<std::string>{kAbortQuestion, kMissingQuestion, kNoExecutableQuestion}));
    const auto entries = t.entries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "Selecting new World of Tanks® install directory."),
              4);
    EXPECT_EQ(t.settings.wotInstallDir, game.text());
}

TEST_F(InstallDirectoryTest, AnsweringNoEndsTheProgramWithoutTouchingTheSettings) {
    struct Case {
        std::string folder;
        std::string question;
        std::string fatal;
    };
    std::filesystem::create_directories("no-game/WorldOfTanks.exe");  // a directory of that name
    const Case cases[] = {
        {"", kAbortQuestion, "Didn't select the World of Tanks install dir."},
        {t.directory.text() + "missing/", kMissingQuestion, "The selected directory doesn't exist."},
        {t.directory.text() + "no-game/", kNoExecutableQuestion,
         "Didn't find the World of Tanks® executeable."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fatal);
        t.ui.transcript.clear();
        t.settings.wotInstallDir = "previous";
        t.ui.folders = {c.folder};
        try {
            selectInstallDirectory(t.context);
            FAIL() << "must end the program";
        } catch (const ProgramExit& exit) {
            EXPECT_EQ(exit.reason, ProgramExit::Reason::FatalError);
            EXPECT_EQ(exit.message, c.fatal);
        }
        EXPECT_EQ(t.ui.transcript[1], c.question);
        EXPECT_EQ(t.ui.transcript[2], "message error [Ravelin] " + c.fatal);
        EXPECT_EQ(t.settings.wotInstallDir, "previous");
    }
}

TEST_F(InstallDirectoryTest, MissingLauncherConfigStillAcceptsTheDirectory) {
    std::filesystem::remove(game.directory() / "WoTLauncher.cfg");
    t.settings.wotLastVersion = "old";
    t.ui.folders = {game.text()};
    selectInstallDirectory(t.context);
    EXPECT_EQ(t.settings.wotLastVersion, "");
    EXPECT_EQ(t.log.errorCount(), 1);
}

TEST_F(InstallDirectoryTest, ADirectoryNamedUpFrontIsCheckedAndItsProblemNamed) {
    useInstallDirectory(t.context, game.directory().string());
    EXPECT_EQ(t.settings.wotInstallDir, game.text());
    EXPECT_EQ(t.settings.wotLastVersion, "1.20.0.0");
    EXPECT_TRUE(t.ui.transcript.empty());

    for (const std::string& wrong : {t.directory.text() + "missing", std::string()}) {
        SCOPED_TRACE(wrong);
        try {
            useInstallDirectory(t.context, wrong);
            FAIL() << "must end the program";
        } catch (const ProgramExit& exit) {
            EXPECT_EQ(exit.message, wrong.empty() ? "Didn't select the World of Tanks install dir."
                                                  : "The game directory " + wrong + " doesn't exist.");
        }
        EXPECT_TRUE(t.ui.linesStartingWith("message question").empty());
        EXPECT_EQ(t.settings.wotInstallDir, game.text());
    }
}
