#include "mods/tracked_install.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/headless_commands.h"
#include "mods/install_record.h"
#include "tests/support/fake_game_install.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_files.h"

namespace {

namespace fs = std::filesystem;

struct TrackedInstallTest : ::testing::Test {
    ScopedWorkingDirectory directory;
    FakeGameInstall game{directory.path() / "game", smallTodaysGameWithAtlases("2.4.0.2")};
    fs::path loose = game.directory() / "res_mods" / "2.4.0.2" / "gui" / "flash" / "atlases";
    fs::path package = game.directory() / "mods" / "2.4.0.2" / "ravelin.atlases_2.4.0.2.wotmod";

    HeadlessOutcome run(HeadlessCommand command, const std::string& argument = {}) {
        ScriptedUi ui;
        return runHeadlessCommand(command, argument, ui);
    }
    void SetUp() override {
        ASSERT_TRUE(run(HeadlessCommand::Setup, game.text()).succeeded);
        ASSERT_TRUE(run(HeadlessCommand::Build).succeeded);
    }
};

}  // namespace

TEST_F(TrackedInstallTest, ForeignFilesAreBackedUpAndOneWayReplacesTheOther) {
    fs::create_directories(loose);
    writeFileText((loose / "battleAtlas.xml").string(), "another mod's atlas");
    writeFileText((loose / "unrelated.txt").string(), "kept");

    ASSERT_TRUE(run(HeadlessCommand::Install).succeeded);
    EXPECT_EQ(readFileText((loose / "battleAtlas.xml").string()), readFileText("battleAtlas.xml"));
    EXPECT_EQ(readFileText("backups/res_mods/2.4.0.2/gui/flash/atlases/battleAtlas.xml"),
              "another mod's atlas");
    ASSERT_TRUE(run(HeadlessCommand::Install).succeeded);  // again: its own files are no one's to back up
    EXPECT_FALSE(fs::exists("backups/res_mods/2.4.0.2/gui/flash/atlases/battleAtlas.xml.1"));

    // The package instead: the loose files go, the other mod's file comes back.
    const HeadlessOutcome packaged = run(HeadlessCommand::InstallPackage);
    ASSERT_TRUE(packaged.succeeded) << packaged.reason;
    EXPECT_TRUE(fs::exists(package));
    EXPECT_EQ(readFileText((loose / "battleAtlas.xml").string()), "another mod's atlas");
    EXPECT_FALSE(fs::exists(loose / "vehicleMarkerAtlas.xml"));
    EXPECT_TRUE(fs::exists(loose / "unrelated.txt"));

    ASSERT_TRUE(run(HeadlessCommand::Uninstall).succeeded);
    EXPECT_FALSE(fs::exists(package));
    EXPECT_FALSE(fs::exists(kInstallRecordName));
    EXPECT_EQ(readFileText((loose / "battleAtlas.xml").string()), "another mod's atlas");
}

TEST_F(TrackedInstallTest, AChangedFileIsLeftAloneAndNamed) {
    fs::create_directories(loose);
    writeFileText((loose / "battleAtlas.xml").string(), "another mod's atlas");
    ASSERT_TRUE(run(HeadlessCommand::Install).succeeded);
    const std::string changed = (loose / "vehicleMarkerAtlas.xml").string();
    writeFileText(changed, "edited by hand");
    EXPECT_EQ(run(HeadlessCommand::Install).reason,
              "Can't install the new atlases: " + changed +
                  " changed since Ravelin installed it; move it away and install again.");
    EXPECT_EQ(readFileText(changed), "edited by hand");

    const HeadlessOutcome uninstalled = run(HeadlessCommand::Uninstall);
    EXPECT_EQ(uninstalled.reason, "These files could not be taken out; remove them by hand: " + changed);
    EXPECT_EQ(readFileText(changed), "edited by hand");
    EXPECT_FALSE(fs::exists(loose / "battleAtlas.dds"));
    EXPECT_EQ(readFileText((loose / "battleAtlas.xml").string()), "another mod's atlas");
    EXPECT_TRUE(run(HeadlessCommand::Uninstall).succeeded);  // nothing of Ravelin's is left
}

// The new set went in, but an older file could not be taken out: the install is done and says so, and
// names what was left behind instead of claiming the game's files are as they were.
TEST_F(TrackedInstallTest, AnInstallThatLeftAnOlderFileBehindIsDoneAndNamesIt) {
    ASSERT_TRUE(run(HeadlessCommand::Install).succeeded);
    const std::string changed = (loose / "vehicleMarkerAtlas.xml").string();
    writeFileText(changed, "edited by hand");

    const HeadlessOutcome packaged = run(HeadlessCommand::InstallPackage);
    EXPECT_FALSE(packaged.succeeded);
    // The file left behind now stands beside the package's copy, and the install says so.
    EXPECT_EQ(packaged.report,
              "Installed into " + (package.parent_path() / "").string() +
                  "\nOther mods ship the atlases too:\n  vehicleMarkerAtlas of "
                  "res_mods/2.4.0.2/gui/flash/atlases/: the game mixes its files with those of "
                  "Ravelin's in mods/2.4.0.2/ravelin.atlases_2.4.0.2.wotmod (ravelin.atlases), a "
                  "mismatched atlas. Ravelin's atlas has all its entries.\n");
    EXPECT_EQ(packaged.reason, "These files could not be taken out; remove them by hand: " + changed);
    EXPECT_TRUE(fs::exists(package));
    EXPECT_FALSE(fs::exists(loose / "battleAtlas.xml"));
    EXPECT_EQ(readFileText(changed), "edited by hand");
}

// What a kill leaves halfway through an install or uninstall, and the next run finishing it: a file listed
// twice (the old and the new content) while an install puts the files in, and a backup copied back to its
// place but not yet removed.
TEST_F(TrackedInstallTest, TheNextRunFinishesWhatAKilledOneLeft) {
    fs::create_directories(loose);
    writeFileText((loose / "battleAtlas.xml").string(), "another mod's atlas");
    ASSERT_TRUE(run(HeadlessCommand::Install).succeeded);
    const std::string marker = (loose / "vehicleMarkerAtlas.xml").string();
    const auto listTwice = [](const std::string& path) {
        std::ofstream(std::string(kInstallRecordName), std::ios::app)
            << "installed\t0123456789abcdef\t" << path << "\r\n";
    };
    listTwice(marker);
    ASSERT_TRUE(run(HeadlessCommand::Install).succeeded);

    listTwice(marker);
    writeFileText((loose / "battleAtlas.xml").string(), "another mod's atlas");  // put back, then killed
    writeFileText((loose / "battleAtlas.xml.tmp99-1-0").string(), "half");
    const HeadlessOutcome uninstalled = run(HeadlessCommand::Uninstall);
    ASSERT_TRUE(uninstalled.succeeded) << uninstalled.reason;
    EXPECT_EQ(readFileText((loose / "battleAtlas.xml").string()), "another mod's atlas");
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_FALSE(fs::exists(loose / "battleAtlas.xml.tmp99-1-0"));
    EXPECT_FALSE(fs::exists("backups/res_mods/2.4.0.2/gui/flash/atlases/battleAtlas.xml"));
    EXPECT_FALSE(fs::exists(kInstallRecordName));
}

TEST_F(TrackedInstallTest, AfterAPatchUpdateInstallTakesApartBuildsAndInstallsInOneGo) {
    ASSERT_TRUE(run(HeadlessCommand::Install).succeeded);
    // As if the previous version had lacked the battle atlas's first icon.
    const std::vector<std::string> lines = readCrLfLines("battleatlas.dat");
    std::string previous;
    for (std::size_t i = 1; i < lines.size(); ++i) previous += lines[i] + "\r\n";
    writeFileText("battleatlas.dat", previous);
    // The patch: new packages and version files over the game, its res_mods as they were.
    FakeGameInstall patched(directory.path() / "patched", smallTodaysGameWithAtlases("2.5.0.0"));
    for (const auto& entry : fs::recursive_directory_iterator(patched.directory())) {
        const fs::path place = game.directory() / entry.path().lexically_relative(patched.directory());
        if (entry.is_directory()) {
            fs::create_directories(place);
        } else {
            fs::remove(place);  // MinGW's copy_file does not overwrite
            fs::copy_file(entry.path(), place);
        }
    }
    EXPECT_FALSE(run(HeadlessCommand::Install).succeeded);  // the earlier build is refused

    const HeadlessOutcome outcome = run(HeadlessCommand::UpdateInstall);
    ASSERT_TRUE(outcome.succeeded) << outcome.reason;
    const fs::path now = game.directory() / "res_mods" / "2.5.0.0" / "gui" / "flash" / "atlases";
    EXPECT_EQ(readFileText((now / "battleAtlas.xml").string()), readFileText("battleAtlas.xml"));
    EXPECT_FALSE(fs::exists(loose / "battleAtlas.xml"));  // the previous version's set went
    const std::string name = lines[0].substr(0, lines[0].find(','));
    EXPECT_EQ(outcome.report.rfind("Took the atlases of World of Tanks 2.5.0.0 apart: ", 0), 0u)
        << outcome.report;
    EXPECT_NE(outcome.report.find("1 new vehicle has no replacement yet: " + name), std::string::npos);
    EXPECT_NE(outcome.report.find("Installed into " + (now / "").string()), std::string::npos)
        << outcome.report;
}

TEST(InstallRecordText, ReadsWhatItWritesAndNamesTheLinesItCannot) {
    const InstallRecord record{{{"/g/res_mods/1/a.xml", "00000000000000ff"}}, {{"/g/mods/1/b", "backups/b"}}};
    const std::string text = installRecordText(record);
    EXPECT_EQ(text, "installed\t00000000000000ff\t/g/res_mods/1/a.xml\r\nbackup\tbackups/b\t/g/mods/1/b\r\n");
    const InstallRecordReading again = readInstallRecordText(text);
    EXPECT_TRUE(again.unreadableLines.empty());
    EXPECT_EQ(installRecordText(again.record), text);

    constexpr char kOdd[] = "installed\th\t/x\rbackup\t\t/y\n\nbackup\tb\t/z\xff\0installed\th\t/p\tq";
    const InstallRecordReading odd = readInstallRecordText(std::string_view(kOdd, sizeof kOdd - 1));
    EXPECT_EQ(installRecordText(odd.record), "installed\th\t/x\r\nbackup\tb\t/z?\r\n");
    EXPECT_EQ(odd.unreadableLines, (std::vector<std::string>{"backup\t\t/y", "installed\th\t/p\tq"}));
}
