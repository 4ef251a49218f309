// The language chosen in the main window's menu: stored, spoken at once, and never the one of --lang.

#include <gtest/gtest.h>

#include "app/main_flow.h"
#include "app/program_language.h"
#include "platform/localized_text.h"
#include "tests/support/fake_game_install.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_files.h"

namespace {

struct LanguageChoiceTest : ::testing::Test {
    ScopedWorkingDirectory directory;
    FakeGameInstall game{directory.path() / "game", smallGameWithAtlases()};

    LanguageChoiceTest() {
        ScriptedUi first;
        first.folders = {game.text()};
        runProgram(first, {});
    }
    ~LanguageChoiceTest() override { chooseLanguage({"en"}); }

    static bool storesLanguage(const std::string& conf, const std::string& code) {
        return conf.find("\"language\"") != std::string::npos &&
               conf.find("\"" + code + "\"") != std::string::npos;
    }
};

}  // namespace

TEST_F(LanguageChoiceTest, TheMenusChoiceIsStoredAndTheWindowsSpeakItAtOnce) {
    ScriptedUi ui;
    ui.desktopLanguages = {"pl_PL"};
    ui.events = {UiEvent::OpenIconOverview, WindowEvent::languageChosen("de"),
                 WindowEvent::languageChosen("de"), WindowEvent::languageChosen("")};
    std::vector<std::string> stored;
    ui.onWait = [&] { stored.push_back(readFileText("ravelin.conf")); };
    runProgram(ui, {});

    ASSERT_EQ(stored.size(), 5u);
    EXPECT_FALSE(storesLanguage(stored[1], "de"));
    EXPECT_TRUE(storesLanguage(stored[2], "de"));  // at once, not only at the exit
    EXPECT_TRUE(storesLanguage(stored[3], "de"));
    EXPECT_EQ(stored[4].find("\"language\""), std::string::npos) << "the system's is stored as none";
    EXPECT_EQ(readFileText("ravelin.conf"), stored[4]);
    EXPECT_EQ(currentLanguage(), "pl");

    // Made anew with the overview shown again once per change of language; choosing the language spoken
    // moves only the check mark.
    EXPECT_EQ(ui.linesStartingWith("remake windows").size(), 2u);
    EXPECT_EQ(ui.linesStartingWith("overview").size(), 3u);
    std::vector<std::string> refreshes = ui.linesStartingWith("main refresh");
    ASSERT_GE(refreshes.size(), 3u);
    refreshes.erase(refreshes.begin(), refreshes.end() - 3);
    EXPECT_TRUE(refreshes[0].ends_with(" | language de"));
    EXPECT_TRUE(refreshes[1].ends_with(" | language de"));
    EXPECT_FALSE(refreshes[2].ends_with(" | language de"));
}

TEST_F(LanguageChoiceTest, LangSpeaksForOneRunAndIsNeverStored) {
    const std::string before = readFileText("ravelin.conf");
    EXPECT_EQ(chooseProgramLanguage(std::string("de"), {"en"}), "de");
    ScriptedUi german;
    german.events = {UiEvent::SaveInGameDirectoryChecked, UiEvent::SaveInGameDirectoryUnchecked};
    runProgram(german, {});
    EXPECT_EQ(readFileText("ravelin.conf"), before);

    // Over a stored choice, which stays stored and checked in the menu.
    ScriptedUi polish;
    polish.events = {WindowEvent::languageChosen("pl")};
    runProgram(polish, {});
    EXPECT_EQ(chooseProgramLanguage(std::string("ru"), {"en"}), "ru");
    ScriptedUi russian;
    runProgram(russian, {});
    EXPECT_TRUE(storesLanguage(readFileText("ravelin.conf"), "pl"));
    EXPECT_TRUE(russian.linesStartingWith("main refresh").back().ends_with(" | language pl"));
    EXPECT_EQ(chooseProgramLanguage(std::nullopt, {"en"}), "pl");
}
