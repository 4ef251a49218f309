#include "app/main_flow.h"

#include "app/headless_commands.h"
#include "app/program_version.h"
#include "app/working_directory.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "image/dds_codec.h"
#include "image/png_codec.h"
#include "platform/file_system.h"
#include "platform/path_separator.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/fake_game_install.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_files.h"

namespace {

struct MainFlowTest : ::testing::Test {
    ScopedWorkingDirectory directory;
    // The game lives beside the working directory's files, as it would on a real disk.
    FakeGameInstall game{directory.path() / "game", smallGameWithAtlases()};
    std::string root = directory.text();
    SearchPlaces places;  // nowhere, unless a test says

    // One run of the program; returns the UI it talked to.
    ScriptedUi run(std::deque<std::string> folders = {}, std::deque<MessageAnswer> answers = {},
                   std::deque<WindowEvent> events = {}) {
        ScriptedUi ui;
        ui.folders = std::move(folders);
        ui.answers = std::move(answers);
        ui.events = std::move(events);
        EXPECT_EQ(runProgram(ui, places), 0);
        return ui;
    }
    ScriptedUi firstStart() { return run({game.text()}); }
    std::vector<std::string> log() const { return unstampedLines(readCrLfLines("ravelin.log")); }
    static std::vector<std::string> messages(const ScriptedUi& ui) { return ui.linesStartingWith("message"); }
    void setGameVersion(const std::string& version) {
        writeFileText((game.directory() / "WoTLauncher.cfg").string(),
                      "<client_ver>" + version + "</client_ver>\r\n");
    }
};

}  // namespace

TEST_F(MainFlowTest, FirstStartSetsEverythingUpBeforeTheWindowShows) {
    const ScriptedUi ui = firstStart();
    EXPECT_EQ(messages(ui),
              (std::vector<std::string>{
                  "message information [First Start] Can't load the config file, it seems to be the "
                  "first start, please select\r\nthe World of Tanks® installation dir in the following "
                  "dialog!"}));
    EXPECT_EQ(ui.transcript.front(), "main open");
    const std::string s(1, kPathSeparator);
    const std::vector<std::string> tail(ui.transcript.end() - 2, ui.transcript.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{"main refresh " + game.text() + " | " + root + "defaultBattleImages" +
                                            s + " | " + root + "defaultMarkerImages" + s + " | " + root +
                                            "newTankImages" + s + " | 1.20.0.0 | 8 | 5 | 0",
                                        "main show"}));
    for (const char* name :
         {"battleAtlas.png", "battleAtlas.xml", "vehicleMarkerAtlas.png", "vehicleMarkerAtlas.xml"}) {
        EXPECT_EQ(readFileText(std::string("originalAtlases/") + name), game.content(name));
    }
    EXPECT_EQ(readCrLfLines("battleatlas.dat").size(), 8u);
    EXPECT_EQ(readCrLfLines("markeratlas.dat").size(), 5u);
    EXPECT_TRUE(std::filesystem::exists("defaultMarkerImages/marker_0004.png"));
    EXPECT_TRUE(std::filesystem::is_directory("newTankImages"));

    const auto lines = log();
    EXPECT_EQ(
        lines.front().rfind("Ravelin version " + std::string(kProgramVersion) + " logfile, created at ", 0),
        0u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 8),
              (std::vector<std::string>{
                  "ERROR: Can't open config file.", "Seems to be first start, set up environment.",
                  "Selecting new World of Tanks® install directory.",
                  "Valid World of Tanks® install dir found: " + game.text() + ".",
                  "Get game client version: 1.20.0.0",
                  "The directory " + root + "originalAtlases doesn't exist, creating ...",
                  "The directory " + root + "defaultBattleImages doesn't exist, creating ..."}));
    EXPECT_EQ(lines[lines.size() - 2], "Saved settings.");
    EXPECT_EQ(lines.back(), "Ravelin exiting with 1 errors and 0 warnings");
    const std::string conf = readFileText("ravelin.conf");
    for (const char* member :
         {"\"wotNbOfBattleIcons\" : 8,", "\"acBattleAtlasWidth\" : 64,", "\"acBattleAtlasHeight\": 64,",
          "\"acMarkerAtlasWidth\" : 64,", "\"acMarkerAtlasHeight\": 32,"}) {
        EXPECT_NE(conf.find(member), std::string::npos) << member;
    }
}

TEST_F(MainFlowTest, CommonStartShowsNoDialog) {
    firstStart();
    const ScriptedUi ui = run();
    EXPECT_TRUE(messages(ui).empty());
    EXPECT_TRUE(ui.linesStartingWith("folder").empty());
    EXPECT_EQ(log().back(), "Ravelin exiting with 0 errors and 0 warnings");
}

// A program that is killed keeps what each step stored; one that the system asks to end writes what its
// normal exit writes, once.
TEST_F(MainFlowTest, SettingsAreStoredAsTheyChangeAndAnEndRequestExitsNormally) {
    std::vector<std::string> confAtWaits;
    ScriptedUi first;
    first.folders = {game.text()};
    first.events = {UiEvent::SaveInGameDirectoryChecked};
    first.onWait = [&] { confAtWaits.push_back(readFileText("ravelin.conf")); };
    runProgram(first, places);
    ASSERT_EQ(confAtWaits.size(), 2u);
    EXPECT_NE(confAtWaits[0].find("\"wotLastVersion\"     : \"1.20.0.0\""), std::string::npos);
    EXPECT_NE(confAtWaits[0].find("\"acSaveInGamedir\"    : 0"), std::string::npos);
    EXPECT_NE(confAtWaits[1].find("\"acSaveInGamedir\"    : 1"), std::string::npos);

    // A common start that changes nothing leaves the file alone until its exit, which writes the same.
    const std::string stored = readFileText("ravelin.conf");
    ScriptedUi common;
    common.onWait = [&] {
        EXPECT_EQ(readFileText("ravelin.conf"), stored);
        common.endRequestHandler();  // as SIGTERM would; the backend would end the process here
    };
    runProgram(common, places);
    EXPECT_EQ(readFileText("ravelin.conf"), stored);
    const auto lines = log();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Saved settings."), 1);
    EXPECT_EQ(lines.back(), "Ravelin exiting with 0 errors and 0 warnings");
}

TEST_F(MainFlowTest, AMovedWorkingDirectoryTakesItsFoldersAlong) {
    // The working directory "before" is set up, with icons chosen from a folder beside it, then moved.
    const std::filesystem::path before = directory.path() / "before";
    const std::filesystem::path after = directory.path() / "after";
    std::filesystem::create_directory(before);
    std::filesystem::create_directory("mine");
    std::filesystem::current_path(before);
    run({game.text(), root + "mine" + kPathSeparator}, {}, {UiEvent::ChooseNewIconsDirectory});
    std::filesystem::current_path(directory.path());
    std::filesystem::rename(before, after);
    std::filesystem::current_path(after);
    const std::string oldRoot = root + "before" + kPathSeparator;
    const std::string newRoot = root + "after" + kPathSeparator;

    run({}, {}, {UiEvent::CreateAtlases});
    const std::vector<std::string> lines = log();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Working directory moved from " + oldRoot + " to " + newRoot + "."),
              lines.end());
    EXPECT_EQ(lines.back(), "Ravelin exiting with 0 errors and 0 warnings");
    const std::string conf = readFileText("ravelin.conf");
    // Paths as the file holds them: JSON strings, whose backslashes are doubled.
    const auto inConf = [](const std::string& path) {
        std::string escaped;
        for (const char c : path) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
        return escaped;
    };
    EXPECT_EQ(conf.find(inConf(oldRoot)), std::string::npos);
    for (const char* folder : {"originalAtlases", "defaultBattleImages", "defaultMarkerImages"}) {
        EXPECT_NE(conf.find(inConf(newRoot + folder)), std::string::npos) << folder;
    }
    EXPECT_NE(conf.find("\"acNewIconsDir\"      : \"" + inConf(root + "mine")), std::string::npos);
    const std::string xml = readFileText("battleAtlas.xml");
    EXPECT_EQ(std::count(xml.begin(), xml.end(), '\n'), 2 + 8 * 7);

    // A working directory that did not move changes nothing and logs nothing about it.
    run();
    for (const std::string& line : log()) EXPECT_EQ(line.find("Working directory moved"), std::string::npos);
}

TEST_F(MainFlowTest, GameUpdateIsOfferedAndRememberedWhenAccepted) {
    firstStart();
    setGameVersion("1.21.0.0");
    const std::string question =
        "message question [New game version detected] It looks like, that the World of Tanks® game was "
        "updated "
        "since last start of Ravelin.\r\n Would you like to load the new Atlases from the new version?";

    EXPECT_EQ(messages(run({}, {MessageAnswer::No})), std::vector<std::string>{question});
    EXPECT_EQ(messages(run({}, {MessageAnswer::No})), std::vector<std::string>{question});  // asked again

    std::filesystem::remove("battleatlas.dat");
    const ScriptedUi yes = run({}, {MessageAnswer::Yes});
    EXPECT_EQ(messages(yes), std::vector<std::string>{question});  // the older client's start as it was
    EXPECT_EQ(readCrLfLines("battleatlas.dat").size(), 8u);        // extracted again
    EXPECT_NE(readFileText("ravelin.conf").find("\"1.21.0.0\""), std::string::npos);
    EXPECT_TRUE(messages(run()).empty());
}

TEST_F(MainFlowTest, AfterAPatchWithRavelinsAtlasesInTheGameOneAnswerTakesApartBuildsAndInstalls) {
    firstStart();
    ScriptedUi cli;
    ASSERT_TRUE(runHeadlessCommand(HeadlessCommand::Build, {}, cli).succeeded);
    ASSERT_TRUE(runHeadlessCommand(HeadlessCommand::Install, {}, cli).succeeded);
    const std::filesystem::path before =
        game.directory() / "res_mods" / "1.20.0.0" / "gui" / "flash" / "atlases";
    const std::filesystem::path after =
        game.directory() / "res_mods" / "1.21.0.0" / "gui" / "flash" / "atlases";
    setGameVersion("1.21.0.0");
    const std::string question =
        "message question [New game version detected] World of Tanks® was updated from 1.20.0.0 to 1.21.0.0 "
        "since the last start of Ravelin, and the atlases Ravelin installed were built for "
        "1.20.0.0.\r\nWould "
        "you like to take the new atlases apart, build and install new ones in one go?";

    const ScriptedUi no = run({}, {MessageAnswer::No});
    EXPECT_EQ(messages(no), std::vector<std::string>{question});
    EXPECT_TRUE(no.linesStartingWith("summary").empty());
    EXPECT_TRUE(std::filesystem::exists(before / "battleAtlas.png"));

    const ScriptedUi yes = run({}, {MessageAnswer::Yes});
    EXPECT_EQ(messages(yes), std::vector<std::string>{question});
    ASSERT_EQ(yes.linesStartingWith("summary").size(), 1u);
    EXPECT_NE(
        yes.linesStartingWith("summary")[0].find("\nIcon files rewritten: 0 (the others were unchanged).\n"),
        std::string::npos);
    EXPECT_EQ(readFileText((after / "battleAtlas.png").string()), readFileText("battleAtlas.png"));
    EXPECT_FALSE(std::filesystem::exists(before / "battleAtlas.png"));
    EXPECT_NE(readFileText("ravelin.conf").find("\"1.21.0.0\""), std::string::npos);
    EXPECT_TRUE(messages(run()).empty());
}

TEST_F(MainFlowTest, GameUpdateIsRememberedOnlyOnceItsAtlasesWereTakenApart) {
    firstStart();
    // The updated game's package lacks the battle atlas XML: the earlier one must not pass for it.
    std::filesystem::remove_all(game.directory());
    FakeGameOptions withoutBattleXml = smallGameWithAtlases("1.21.0.0");
    withoutBattleXml.omitBattleXml = true;
    FakeGameInstall updated(game.directory(), withoutBattleXml);
    run({}, {MessageAnswer::Yes});
    EXPECT_NE(readFileText("ravelin.conf").find("\"1.20.0.0\""), std::string::npos);

    // An update whose atlas image holds no icons is not remembered either.
    std::filesystem::remove_all(game.directory());
    FakeGameOptions emptyMarkerAtlas = smallGameWithAtlases("1.21.0.0");
    emptyMarkerAtlas.markerAtlasXml = "<root>\n</root>\n";
    FakeGameInstall empty(game.directory(), emptyMarkerAtlas);
    const ScriptedUi again = run({}, {MessageAnswer::Yes});
    EXPECT_EQ(messages(again).size(), 1u);  // asked again
    EXPECT_NE(readFileText("ravelin.conf").find("\"wotNbOfMarkerIcons\" : 0,"), std::string::npos);
    EXPECT_NE(readFileText("ravelin.conf").find("\"1.20.0.0\""), std::string::npos);
}

TEST_F(MainFlowTest, NewGameDirectoryConfirmedRefusedOrUnusable) {
    firstStart();
    FakeGameInstall other(directory.path() / "other", smallGameWithAtlases("2.0"));

    const ScriptedUi refused = run({}, {MessageAnswer::No}, {UiEvent::ChooseGameDirectory});
    EXPECT_TRUE(refused.linesStartingWith("folder").empty());

    const ScriptedUi confirmed = run({other.text()}, {MessageAnswer::Yes}, {UiEvent::ChooseGameDirectory});
    EXPECT_EQ(messages(confirmed).front(),
              "message question [New W.o.T. directory] You are about to select a new directory for World of "
              "Tanks®\r\nAre you sure ?");
    EXPECT_EQ(confirmed.transcript.back().rfind("main refresh " + other.text(), 0), 0u);
    EXPECT_NE(readFileText("ravelin.conf").find("\"2.0\""), std::string::npos);

    // A game directory whose package holds no atlas: error exit, nothing saved, the log without summary.
    FakeGameOptions noAtlases;
    noAtlases.upperCaseFolder = true;
    FakeGameInstall broken(directory.path() / "broken", noAtlases);
    const std::string settingsBefore = readFileText("ravelin.conf");
    const ScriptedUi failed = run({broken.text()}, {MessageAnswer::Yes}, {UiEvent::ChooseGameDirectory});
    EXPECT_EQ(messages(failed).back(),
              "message error [Error] Didn't select the correct install directory, exiting program!");
    EXPECT_EQ(readFileText("ravelin.conf"), settingsBefore);
    EXPECT_GT(log().size(), 1u);
    EXPECT_EQ(log().back().find("Ravelin exiting"), std::string::npos) << log().back();
}

TEST_F(MainFlowTest, FirstStartWithAnUnusablePackageAsksOnceMoreThenExits) {
    FakeGameOptions noAtlases;
    noAtlases.upperCaseFolder = true;
    FakeGameInstall broken(directory.path() / "broken", noAtlases);
    const ScriptedUi ui = run({broken.text(), broken.text()});
    EXPECT_EQ(ui.linesStartingWith("folder").size(), 2u);
    EXPECT_EQ(messages(ui).back(),
              "message error [Error] Didn't select the correct install directory, exiting program!");
    EXPECT_FALSE(std::filesystem::exists("ravelin.conf"));
    EXPECT_EQ(log().back(), "Unpacking original atlas and xml files");  // no summary

    // With a good directory the second time, the start goes on.
    const ScriptedUi recovered = run({broken.text(), game.text()});
    EXPECT_EQ(recovered.transcript.back(), "main show");
}

TEST_F(MainFlowTest, FatalErrorsEndTheRunWithTheLogClosed) {
    writeFileText("ravelin.conf", "previous settings");
    const ScriptedUi gaveUp = run({}, {MessageAnswer::No});
    EXPECT_EQ(messages(gaveUp).back(),
              "message error [Ravelin] Didn't select the World of Tanks install dir.");
    EXPECT_EQ(readFileText("ravelin.conf"), "previous settings");
    const auto lines = log();
    EXPECT_EQ(lines[lines.size() - 2], "ERROR: Didn't select the World of Tanks install dir.");
    EXPECT_EQ(lines.back(), "Ravelin exiting with 2 errors and 0 warnings");

    std::filesystem::remove(game.packagePath());
    const ScriptedUi noPackage = run({game.text()});
    EXPECT_EQ(messages(noPackage).back(), "message error [Ravelin] Can't find the ressource file: '" +
                                              game.text() + "res" + kPathSeparator + "packages" +
                                              kPathSeparator +
                                              "gui.pkg' the install dir seemes to be wrong.");
    EXPECT_EQ(readFileText("ravelin.conf"), "previous settings");
}

TEST_F(MainFlowTest, LogThatCannotBeCreatedEndsBeforeTheWindow) {
    std::filesystem::create_directory("ravelin.log");
    const ScriptedUi ui = run();
    EXPECT_EQ(ui.transcript,
              (std::vector<std::string>{
                  "message error [Error] Can't create log file, insufficient rights? Exiting program!"}));
}

TEST_F(MainFlowTest, CancelledIconPickerFallsBackToTheDefaultDirectory) {
    firstStart();
    std::filesystem::create_directory("mine");
    writeFileText("mine/a.png", "x");
    writeFileText("newTankImages/b.png", "x");
    writeFileText("newTankImages/c.png", "x");
    const ScriptedUi ui = run({root + "mine" + kPathSeparator, ""}, {},
                              {UiEvent::ChooseNewIconsDirectory, UiEvent::ChooseNewIconsDirectory});
    const auto folders = ui.linesStartingWith("folder");
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[1], "folder [Select new contour icons directory:] " + root + "mine" + kPathSeparator);
    const std::string defaultDirectory = root + "newTankImages" + kPathSeparator;
    EXPECT_EQ(messages(ui), (std::vector<std::string>{
                                "message plain [Using old directory] You didn't slect anything or abort the "
                                "request.\r\nUsing the old directory: " +
                                defaultDirectory}));
    const auto refreshes = ui.linesStartingWith("main refresh");
    ASSERT_EQ(refreshes.size(), 3u);
    EXPECT_NE(refreshes[1].find("mine" + std::string(1, kPathSeparator) + " | 1.20.0.0 | 8 | 5 | 1"),
              std::string::npos);
    EXPECT_NE(refreshes[2].find(defaultDirectory + " | 1.20.0.0 | 8 | 5 | 2"), std::string::npos);
}

TEST_F(MainFlowTest, CreateAtlasesBuildsMarkerThenBattleAndClosesProgress) {
    firstStart();
    const ScriptedUi ui = run({}, {}, {UiEvent::CreateAtlases});
    const auto opened = ui.linesStartingWith("progress open Creating");
    EXPECT_EQ(opened, (std::vector<std::string>{"progress open Creating Atlas files vehicleMarkerAtlas",
                                                "progress open Creating Atlas files battleAtlas"}));
    EXPECT_FALSE(ui.progressWindowOpen);
    EXPECT_EQ(loadImage("battleAtlas.png")->width(), 2048);
    EXPECT_EQ(loadImage("vehicleMarkerAtlas.png")->width(), 2048);
    const std::string markerName =
        readCrLfLines("markeratlas.dat")[0].substr(0, readCrLfLines("markeratlas.dat")[0].find(','));
    // Then the summary, naming the misspelt replacement's nearest icon and where the atlases went.
    writeFileText("newTankImages/makrer_" + markerName.substr(7) + ".png", "x");
    const ScriptedUi again = run({}, {}, {UiEvent::CreateAtlases});
    const auto summary = again.linesStartingWith("summary");
    ASSERT_EQ(summary.size(), 1u);
    EXPECT_EQ(again.transcript[again.transcript.size() - 2], "progress close");
    EXPECT_EQ(summary[0].rfind("summary [" + root + "] The new atlases are in " + root +
                                   "\nbattleAtlas: 8 icons, 0 replaced,",
                               0),
              0u)
        << summary[0];
    EXPECT_NE(summary[0].find("Files that match no icon: makrer_" + markerName.substr(7) +
                              ".png (nearest icon: " + markerName + ")\n"),
              std::string::npos)
        << summary[0];
    // Every name behind the details.
    EXPECT_NE(summary[0].find("details:\n"), std::string::npos);

    // With no catalogue the builds stop early; the progress window is still closed at the end. The marker
    // atlas is built first, so its error is the first.
    std::filesystem::remove("battleatlas.dat");
    std::filesystem::remove("markeratlas.dat");
    const ScriptedUi failing = run({}, {}, {UiEvent::CreateAtlases});
    EXPECT_EQ(failing.transcript[failing.transcript.size() - 2], "progress close");
    EXPECT_EQ(failing.transcript.back().rfind("summary with errors [" + root +
                                                  "] The new atlases were built with errors.\nFirst error: "
                                                  "Can't open atlas descriptor: markeratlas.dat.\n",
                                              0),
              0u)
        << failing.transcript.back();
    EXPECT_FALSE(failing.progressWindowOpen);
}

// A replacement whose header reads but whose data is cut off gives way to its default icon on both clients:
// the new atlas XML is the one built without it, and the summary names the file, with errors.
TEST(CutOffReplacementFromTheWindow, GivesWayToTheDefaultAndIsNamed) {
    for (const FakeGameOptions& options : {smallGameWithAtlases(), smallTodaysGameWithAtlases()}) {
        SCOPED_TRACE(options.clientVersion);
        ScopedWorkingDirectory directory;
        FakeGameInstall game(directory.path() / "game", options);
        ScriptedUi first;
        first.folders = {game.text()};
        first.events = {UiEvent::CreateAtlases};
        runProgram(first, SearchPlaces{});
        const std::string withoutIt = readFileText("battleAtlas.xml");
        writeFileText("newTankImages/contour_0001.png",
                      pngFileText(AtlasFixture::drawIcon(48, 40, 4)).substr(0, 60));
        ScriptedUi ui;
        ui.events = {UiEvent::CreateAtlases};
        runProgram(ui, SearchPlaces{});
        EXPECT_EQ(readFileText("battleAtlas.xml"), withoutIt);
        const auto summary = ui.linesStartingWith("summary with errors");
        ASSERT_EQ(summary.size(), 1u);
        EXPECT_NE(summary[0].find("  Unreadable, the default icon was used: contour_0001.png\n"),
                  std::string::npos);
    }
}

TEST_F(MainFlowTest, IconOverviewShowsWhatIsOnDiskAtTheSizeLastChosen) {
    firstStart();
    const std::string settingsBefore = readFileText("ravelin.conf");
    const auto runWithOverview = [this](std::deque<WindowEvent> events, OverviewWindowSize size) {
        ScriptedUi ui;
        ui.events = std::move(events);
        ui.overviewSize = size;
        EXPECT_EQ(runProgram(ui, places), 0);
        return ui.linesStartingWith("overview");
    };
    // Opened and closed at the size it opened at: ravelin.conf stays as it was.
    EXPECT_EQ(runWithOverview({UiEvent::OpenIconOverview, UiEvent::IconOverviewClosed}, {760, 560, false}),
              std::vector<std::string>{"overview battleAtlas 8 vehicleMarkerAtlas 5 unmatched 0"});
    EXPECT_EQ(readFileText("ravelin.conf"), settingsBefore);

    // Resized and maximised, still open at the end; read again with F5 after a file came.
    writeFileText("newTankImages/stray.png", "x");
    EXPECT_EQ(runWithOverview({UiEvent::RefreshIconOverview}, {900, 700, true}),
              std::vector<std::string>{"overview battleAtlas 8 vehicleMarkerAtlas 5 unmatched 1"});
    EXPECT_NE(readFileText("ravelin.conf").find("\"acOverviewWidth\"    : 900"), std::string::npos);
    EXPECT_EQ(runWithOverview({UiEvent::OpenIconOverview}, {900, 700, true}),
              std::vector<std::string>{
                  "overview battleAtlas 8 vehicleMarkerAtlas 5 unmatched 1 size 900x700 maximized"});
}

TEST_F(MainFlowTest, InstructionsOpenReopenAndCloseOnlyByTheirButton) {
    firstStart();
    const ScriptedUi ui = run({}, {},
                              {UiEvent::OpenInstructions, UiEvent::OpenInstructions,
                               UiEvent::CloseInstructions, UiEvent::CloseInstructions});
    EXPECT_EQ(std::vector<std::string>(ui.transcript.end() - 3, ui.transcript.end()),
              (std::vector<std::string>{"instructions open", "instructions open", "instructions close"}));
}

TEST_F(MainFlowTest, TodaysClientIsFoundTakenApartAndBuiltFor) {
    FakeGameInstall today(directory.path() / "today", smallTodaysGameWithAtlases());
    const ScriptedUi ui = run({today.text()}, {}, {UiEvent::CreateAtlases});
    EXPECT_EQ(ui.linesStartingWith("main refresh").front(),
              "main refresh " + today.text() + " | " + root + "defaultBattleImages" + kPathSeparator + " | " +
                  root + "defaultMarkerImages" + kPathSeparator + " | " + root + "newTankImages" +
                  kPathSeparator + " | 2.4.0.2 | 8 | 5 | 0");
    EXPECT_EQ(log().back(), "Ravelin exiting with 1 errors and 0 warnings");  // the missing settings only
    EXPECT_EQ(readCrLfLines("battleatlas.dat").size(), 8u);
    for (const char* name : {"battleAtlas.dds", "vehicleMarkerAtlas.dds"}) {
        const DdsDecoding atlas = loadDds(name);
        ASSERT_TRUE(atlas.image) << name << ": " << atlas.fault;
        EXPECT_EQ(atlas.header.format.encoding, DdsEncoding::Bc3) << name;  // BC7 is written as BC3
    }
    // The original's seven levels, as far as the (smaller) new canvas has them.
    const DdsHeader marker = loadDds("vehicleMarkerAtlas.dds").header;
    EXPECT_EQ(marker.mipLevels, std::min(7, fullMipChainLength(marker.width, marker.height)));
    EXPECT_EQ(loadDds("battleAtlas.dds").header.mipLevels, 1);
    EXPECT_FALSE(std::filesystem::exists("battleAtlas.png"));
    const std::string xml = readFileText("battleAtlas.xml");
    EXPECT_EQ(std::count(xml.begin(), xml.end(), '\n'), 2 + 8 * 7);
    // The next start finds the same version and asks nothing.
    EXPECT_TRUE(messages(run()).empty());
    // After an update today's client says what it rewrote: nothing, where the icons stayed the same.
    writeFileText((today.directory() / "version.xml").string(),
                  "<version.xml>\n\t<version> v.2.5.0.0 #970 </version>\n</version.xml>");
    const std::vector<std::string> told = messages(run({}, {MessageAnswer::Yes}));
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(
        told[1],
        "message information [New game version loaded] The atlases of World of Tanks 2.5.0.0 were taken "
        "apart.\r\nIcon files rewritten: 0 (the others were unchanged).");
}

TEST_F(MainFlowTest, TheCheckedBoxInstallsWithEveryBuildAndUncheckingOffersToTakeThemOut) {
    firstStart();
    const std::filesystem::path installed =
        game.directory() / "res_mods" / "1.20.0.0" / "gui" / "flash" / "atlases";
    run({}, {}, {UiEvent::CreateAtlases});
    EXPECT_FALSE(std::filesystem::exists(installed));

    // Another mod's package with a battle atlas: the install names it in the box's details.
    std::filesystem::create_directories(game.directory() / "mods" / "1.20.0.0");
    writeFileBytes((game.directory() / "mods" / "1.20.0.0" / "other.wotmod").string(),
                   writeZip({{"res/gui/flash/atlases/battleAtlas.xml", {'<'}, true}}));
    const ScriptedUi checked = run({}, {}, {UiEvent::SaveInGameDirectoryChecked, UiEvent::CreateAtlases});
    const std::string box = checked.linesStartingWith("summary").back();
    EXPECT_NE(box.find("\nOther mods ship the atlases too (1 line in the details)"), std::string::npos)
        << box;
    EXPECT_NE(
        box.find("details:\nOther mods ship the atlases too:\n  battleAtlas of mods/1.20.0.0/other.wotmod: "
                 "hidden by Ravelin's in res_mods/1.20.0.0/gui/flash/atlases/. Ravelin's atlas has all its "
                 "entries.\n"),
        std::string::npos)
        << box;
    EXPECT_TRUE(checked.linesStartingWith("main refresh").back().ends_with(" | in game"));
    EXPECT_EQ(readFileText((installed / "battleAtlas.xml").string()), readFileText("battleAtlas.xml"));
    EXPECT_EQ(checked.linesStartingWith("progress open").back(), "progress open Installing the new atlases");
    EXPECT_FALSE(checked.progressWindowOpen);
    EXPECT_TRUE(messages(checked).empty());  // one box says it all
    EXPECT_EQ(
        checked.linesStartingWith("summary").back().rfind(
            "summary [" + root + "] The new atlases are in the game: " + (installed / "").string() + "\n", 0),
        0u);

    // Remembered; a failure says why and that the game's files are as they were.
    writeFileText((game.directory() / "paths.xml").string(), "<Paths><Path>./res_mods/../x</Path></Paths>");
    const ScriptedUi failing = run({}, {}, {UiEvent::CreateAtlases});
    EXPECT_TRUE(failing.linesStartingWith("main refresh").front().ends_with(" | in game"));
    EXPECT_EQ(failing.linesStartingWith("summary").back().rfind(
                  "summary with errors [" + root +
                      "] The new atlases were not put into the game: Unusable mod folder in " + game.text() +
                      "paths.xml: '../x' The game's files are as they were.\n",
                  0),
              0u);
    std::filesystem::remove(game.directory() / "paths.xml");

    const ScriptedUi kept = run({}, {MessageAnswer::No}, {UiEvent::SaveInGameDirectoryUnchecked});
    EXPECT_EQ(messages(kept).back(),
              "message question [Remove installed atlases] Remove the atlases Ravelin put "
              "into the game and put back the files they replaced?");
    EXPECT_TRUE(std::filesystem::exists(installed / "battleAtlas.xml"));
    const ScriptedUi removed = run({}, {MessageAnswer::Yes}, {UiEvent::SaveInGameDirectoryUnchecked});
    EXPECT_FALSE(std::filesystem::exists(installed / "battleAtlas.xml"));
    EXPECT_EQ(messages(removed).back(),
              "message information [Atlases removed] The atlases Ravelin installed are out of the game.");
    EXPECT_FALSE(removed.linesStartingWith("main refresh").back().ends_with(" | in game"));
}

// An install that went in but could not take out an older file is done, and the one box names the file;
// "Show icons" opens the overview.
TEST_F(MainFlowTest, TheBoxAfterAnInstallThatLeftAFileBehindNamesItAndShowsTheIcons) {
    firstStart();
    ScriptedUi headless;
    ASSERT_TRUE(runHeadlessCommand(HeadlessCommand::Build, {}, headless).succeeded);
    const HeadlessOutcome packaged = runHeadlessCommand(HeadlessCommand::InstallPackage, {}, headless);
    ASSERT_TRUE(packaged.succeeded) << packaged.reason;
    const std::filesystem::path package =
        game.directory() / "mods" / "1.20.0.0" / "ravelin.atlases_1.20.0.0.wotmod";
    writeFileText(package.string(), "changed by hand");

    ScriptedUi ui;
    ui.events = {UiEvent::SaveInGameDirectoryChecked, UiEvent::CreateAtlases};
    ui.summaryChoices = {BuildSummaryChoice::ShowIcons};
    runProgram(ui, places);
    const std::string summary = ui.linesStartingWith("summary").back();
    EXPECT_EQ(
        summary.rfind(
            "summary with errors [" + root + "] The new atlases are in the game: " +
                (game.directory() / "res_mods" / "1.20.0.0" / "gui" / "flash" / "atlases" / "").string() +
                "\nThese older files could not be taken out of the game; remove them by hand: " +
                package.string() + "\n",
            0),
        0u)
        << summary;
    EXPECT_TRUE(ui.transcript.back().starts_with("overview battleAtlas 8 vehicleMarkerAtlas 5"))
        << ui.transcript.back();
    EXPECT_TRUE(ui.transcript.back().ends_with(" filter Needs attention")) << ui.transcript.back();
}

#ifndef _WIN32  // the XDG data directory is the Linux desktop's
// The desktop entry's start works in "ravelin" of the user's data directory, created when missing.
TEST(UserWorkingDirectory, IsRavelinInTheUsersDataDirectory) {
    ScopedWorkingDirectory directory;
    const std::string home = directory.text() + "home";
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char* savedData = std::getenv("XDG_DATA_HOME");
    const std::string savedDataText = savedData ? savedData : "";
    ::setenv("HOME", home.c_str(), 1);
    const struct {
        const char* dataHome;  // nullptr: unset
        std::string expected;
    } cases[] = {
        {nullptr, home + "/.local/share/ravelin/"},
        {"", home + "/.local/share/ravelin/"},
        {"relative/data", home + "/.local/share/ravelin/"},
        {"/srv/data/", "/srv/data/ravelin/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dataHome ? c.dataHome : "(unset)");
        if (c.dataHome) {
            ::setenv("XDG_DATA_HOME", c.dataHome, 1);
        } else {
            ::unsetenv("XDG_DATA_HOME");
        }
        EXPECT_EQ(userWorkingDirectory(), c.expected);
    }
    ::setenv("XDG_DATA_HOME", (directory.text() + "data").c_str(), 1);
    EXPECT_TRUE(enterUserWorkingDirectory());
    EXPECT_EQ(currentDirectory(), directory.text() + "data/ravelin/");
    std::filesystem::current_path(directory.path());
    std::filesystem::remove_all(directory.path() / "data");
    writeFileText("data", "a file where the directory should be");
    EXPECT_FALSE(enterUserWorkingDirectory());

    ::setenv("HOME", savedHome.c_str(), 1);
    if (savedData) {
        ::setenv("XDG_DATA_HOME", savedDataText.c_str(), 1);
    } else {
        ::unsetenv("XDG_DATA_HOME");
    }
}
#endif

TEST_F(MainFlowTest, InstallationsFoundAreOfferedBeforeThePicker) {
    const std::filesystem::path home = directory.path() / "home";
    places = homeSearchPlaces(home.string());
    const std::filesystem::path steamGame =
        home / ".local" / "share" / "Steam" / "steamapps" / "common" / "World of Tanks";
    FakeGameInstall eu(steamGame / "EU", smallGameWithAtlases("2.4.0.2"));
    const std::string question =
        "message question [World of Tanks® found] World of Tanks® is installed in\r\n" + eu.text() +
        " (WG 2.4.0.2).\r\nUse this installation?";

    // One found: Yes takes it without the picker.
    const ScriptedUi yes = run({}, {MessageAnswer::Yes});
    EXPECT_EQ(messages(yes)[1], question);
    EXPECT_TRUE(yes.linesStartingWith("folder").empty());
    const auto lines = log();
    EXPECT_EQ(lines[3], "Found World of Tanks® installation: " + eu.text() + " (WG 2.4.0.2)");
    EXPECT_EQ(yes.linesStartingWith("main refresh").front().rfind("main refresh " + eu.text(), 0), 0u);

    // The ". . ." beside it offers the same; No opens the picker.
    const ScriptedUi no =
        run({game.text()}, {MessageAnswer::Yes, MessageAnswer::No}, {UiEvent::ChooseGameDirectory});
    EXPECT_EQ(messages(no).back(), question);
    EXPECT_EQ(no.linesStartingWith("folder").size(), 1u);
    EXPECT_NE(readFileText("ravelin.conf").find("1.20.0.0"), std::string::npos);

    // Several: the chooser; a line, "Other folder…" (the picker) or closing it (as a cancelled picker).
    FakeGameInstall na(steamGame / "NA", smallGameWithAtlases("2.4.0.1"));
    ScriptedUi chooser;
    chooser.installationChoices = {1};
    chooser.answers = {MessageAnswer::Yes};
    chooser.events = {UiEvent::ChooseGameDirectory};
    runProgram(chooser, places);
    EXPECT_EQ(chooser.linesStartingWith("installations"),
              std::vector<std::string>{"installations [WG 2.4.0.2 - " + eu.text() + "] [WG 2.4.0.1 - " +
                                       na.text() + "]"});
    EXPECT_NE(readFileText("ravelin.conf").find("2.4.0.1"), std::string::npos);

    ScriptedUi other;
    other.installationChoices = {kChoseOtherFolder, kChoseNothing};
    other.folders = {""};
    other.answers = {MessageAnswer::Yes, MessageAnswer::Yes, MessageAnswer::No};
    other.events = {UiEvent::ChooseGameDirectory};
    runProgram(other, places);
    EXPECT_EQ(other.linesStartingWith("folder").size(), 1u);
    EXPECT_EQ(other.linesStartingWith("installations").size(), 2u);
    EXPECT_EQ(messages(other).back(),
              "message error [Ravelin] Didn't select the World of Tanks install dir.");
}
