#include "app/headless_commands.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>

#include "app/main_flow.h"
#include "image/image.h"
#include "image/png_codec.h"
#include "platform/path_separator.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/fake_game_install.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_files.h"
#include "ui/progress_pace.h"
#include "ui/terminal/terminal_ui.h"

namespace {

// Every file below the working directory but the log, by relative path.
std::map<std::string, std::string> workingFiles(const std::filesystem::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string relative = entry.path().lexically_relative(root).string();
        if (entry.is_regular_file() && relative != "ravelin.log" && relative.rfind("game", 0) != 0) {
            files[relative] = readFileText(entry.path().string());
        }
    }
    return files;
}

struct HeadlessTest : ::testing::Test {
    ScopedWorkingDirectory directory;
    FakeGameInstall game{directory.path() / "game", smallGameWithAtlases()};

    SearchPlaces places;  // nowhere, unless a test says

    HeadlessOutcome run(HeadlessCommand command, const std::string& argument = {}) {
        ScriptedUi ui;
        return runHeadlessCommand(command, argument, ui, places);
    }
};

}  // namespace

TEST_F(HeadlessTest, SetupBuildMatchTheDesktopProgramByteForByte) {
    ScriptedUi desktop;
    desktop.folders = {game.text()};
    desktop.events = {UiEvent::CreateAtlases};
    runProgram(desktop, SearchPlaces{});
    const auto desktopFiles = workingFiles(directory.path());
    EXPECT_EQ(desktopFiles.count("battleAtlas.png"), 1u);
    EXPECT_EQ(desktopFiles.size(),
              4u + 8u + 5u + 2u + 4u + 2u + 1u + 1u);  // originals, icons, catalogues, atlases, build
                                                       // records, settings, lock
    for (const auto& [name, content] : desktopFiles) std::filesystem::remove_all(directory.path() / name);
    for (const char* folder :
         {"originalAtlases", "defaultBattleImages", "defaultMarkerImages", "newTankImages"}) {
        std::filesystem::remove_all(folder);
    }

    ASSERT_TRUE(run(HeadlessCommand::Setup, game.text()).succeeded);
    ASSERT_TRUE(run(HeadlessCommand::Build).succeeded);
    EXPECT_EQ(workingFiles(directory.path()), desktopFiles);
    EXPECT_EQ(unstampedLines(readCrLfLines("ravelin.log")).back(),
              "Ravelin exiting with 0 errors and 0 warnings");
}

// A replacement whose header reads but whose data is cut off gives way to its default icon on both clients,
// in the game's layout kept and packed anew: the atlases are those built without it, byte for byte, so every
// icon is there at the default's size and pixels; the summary names the file, and the build fails, so that
// nothing goes into the game.
TEST(CutOffReplacement, GivesWayToItsDefaultOnEveryClientAndLayout) {
    const struct {
        const char* label;
        FakeGameOptions game;
        bool packed;  // a readable replacement of another size makes today's client pack anew
        std::string layoutLine;
    } cases[] = {
        {"older client", smallGameWithAtlases(), false, "Created empty atlas image with size 2048x2048"},
        {"today's client, the game's layout", smallTodaysGameWithAtlases(), false,
         "Kept the game's atlas layout with size 64x64"},
        {"today's client, packed anew", smallTodaysGameWithAtlases(), true, "Created empty atlas image"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ScopedWorkingDirectory directory;
        FakeGameInstall game(directory.path() / "game", c.game);
        const auto run = [](HeadlessCommand command, const std::string& argument = {}) {
            ScriptedUi ui;
            return runHeadlessCommand(command, argument, ui, SearchPlaces{});
        };
        ASSERT_TRUE(run(HeadlessCommand::Setup, game.text()).succeeded);
        if (c.packed) {
            ASSERT_TRUE(saveImagePng(AtlasFixture::drawIcon(13, 7, 5), "newTankImages/contour_0002.png"));
        }
        ASSERT_TRUE(run(HeadlessCommand::Build).succeeded);
        const auto atlases = [] {
            std::map<std::string, std::string> files;
            for (const char* name : {"battleAtlas.xml", "battleAtlas.png", "battleAtlas.dds"})
                if (std::filesystem::exists(name)) files[name] = readFileText(name);
            return files;
        };
        const auto withoutIt = atlases();

        const std::string cutOff = "newTankImages/contour_0001.png";
        writeFileText(cutOff, pngFileText(AtlasFixture::drawIcon(48, 40, 4)).substr(0, 60));
        const HeadlessOutcome built = run(HeadlessCommand::Build);
        EXPECT_FALSE(built.succeeded);
        EXPECT_EQ(built.reason, "Can't load icon: " + directory.text() + "newTankImages" + kPathSeparator +
                                    "contour_0001.png");
        EXPECT_NE(built.report.find("  Unreadable, the default icon was used: contour_0001.png\n"),
                  std::string::npos)
            << built.report;
        EXPECT_EQ(atlases(), withoutIt);
        EXPECT_EQ(writtenAtlasEntries("battleAtlas.xml").size(), 8u);
        const std::string log = readFileText("ravelin.log");
        EXPECT_NE(log.find(c.layoutLine), std::string::npos);
        EXPECT_EQ(log.find("Can't load icon: " + directory.text() + "default"), std::string::npos);
    }
}

TEST_F(HeadlessTest, SetupRejectsWhatThePickerWouldReject) {
    const HeadlessOutcome missing = run(HeadlessCommand::Setup, directory.text() + "nowhere");
    EXPECT_FALSE(missing.succeeded);
    EXPECT_EQ(missing.reason, "The game directory " + directory.text() + "nowhere doesn't exist.");
    EXPECT_FALSE(std::filesystem::exists("ravelin.conf"));

    FakeGameOptions noAtlases;
    noAtlases.upperCaseFolder = true;
    FakeGameInstall broken(directory.path() / "broken", noAtlases);
    const HeadlessOutcome unusable = run(HeadlessCommand::Setup, broken.text());
    EXPECT_EQ(unusable.reason, "Didn't select the correct install directory, exiting program!");
}

TEST_F(HeadlessTest, UpdateIconsAndStatus) {
    const std::string noSetup = "No Ravelin working directory here: run ravelin-cli setup GAME_DIR first.";
    EXPECT_EQ(run(HeadlessCommand::Build).reason, noSetup);
    EXPECT_EQ(readCrLfLines("ravelin.log")[1].substr(16), "ERROR: Can't open config file.");
    EXPECT_EQ(run(HeadlessCommand::Status).reason, noSetup);
    EXPECT_FALSE(std::filesystem::exists("ravelin.conf"));

    ASSERT_TRUE(run(HeadlessCommand::Setup, game.text()).succeeded);
    writeFileText((game.directory() / "WoTLauncher.cfg").string(), "<client_ver>1.21</client_ver>");
    for (const HeadlessCommand command : {HeadlessCommand::Build, HeadlessCommand::Install,
                                          HeadlessCommand::InstallPackage, HeadlessCommand::Package}) {
        EXPECT_EQ(run(command).reason,
                  "The game was updated from 1.20.0.0 to 1.21: run ravelin-cli update first.");
    }
    EXPECT_FALSE(std::filesystem::exists("battleAtlas.xml"));
    EXPECT_NE(
        run(HeadlessCommand::Status)
            .report.find("Game Version: 1.20.0.0\nInstalled game version: 1.21 (run ravelin-cli update)\n"),
        std::string::npos);
    std::filesystem::remove("markeratlas.dat");
    // Only the icon whose bytes differ from the game's is written again, and the summary says so.
    const std::filesystem::path damaged = std::filesystem::directory_iterator("defaultMarkerImages")->path();
    writeFileText(damaged.string(), "x");
    const HeadlessOutcome update = run(HeadlessCommand::Update);
    ASSERT_TRUE(update.succeeded);
    EXPECT_TRUE(std::filesystem::exists("markeratlas.dat"));
    EXPECT_NE(readFileText(damaged.string()), "x");
    EXPECT_EQ(update.report.substr(update.report.find('\n') + 1),
              "Icon files rewritten: 1 (the others were unchanged).\n");

    std::filesystem::create_directory("mine");
    writeFileText("mine/a.png", "x");
    ASSERT_TRUE(run(HeadlessCommand::Icons, directory.text() + "mine").succeeded);
    const HeadlessOutcome status = run(HeadlessCommand::Status);
    ASSERT_TRUE(status.succeeded);
    EXPECT_EQ(status.report.rfind("World of Tanks® install directory: " + game.text() + "\n", 0), 0u);
    EXPECT_NE(status.report.find("Game Version: 1.21\nInstalled game version: 1.21\n"), std::string::npos);
    EXPECT_NE(status.report.find("New contour icon directory: " + directory.text() + "mine" + kPathSeparator +
                                 "\n"),
              std::string::npos);
    EXPECT_NE(status.report.find("Battle icons found: 8\nMarker icons found: 5\nNew icons found: 1\n"),
              std::string::npos);

    const HeadlessOutcome missing = run(HeadlessCommand::Icons, directory.text() + "absent");
    EXPECT_EQ(missing.reason,
              "The new icon dir '" + directory.text() + "absent" + kPathSeparator + "' doesn't exist.");
    // A failed command stores nothing: the next build still uses "mine".
    EXPECT_NE(
        run(HeadlessCommand::Status).report.find("New contour icon directory: " + directory.text() + "mine"),
        std::string::npos);
}

// What ran to its end is told and stored also with errors: setup and update give their summary with the
// count of errors and the first, and a failed build keeps the directories followed to a moved working
// directory.
TEST_F(HeadlessTest, WhatRanToItsEndIsToldAndStoredAlsoWithErrors) {
    FakeGameOptions options = smallGameWithAtlases();
    options.corruptBattlePngData = true;
    FakeGameInstall broken(directory.path() / "broken", options);
    std::filesystem::create_directory("before");
    std::filesystem::current_path("before");
    const HeadlessOutcome setup = run(HeadlessCommand::Setup, broken.text());
    EXPECT_FALSE(setup.succeeded);
    const std::string counts = ": 0 icons in battleAtlas, 5 icons in vehicleMarkerAtlas.\n";
    const std::string errors = "With 2 errors (see ravelin.log), the first: " + setup.reason + "\n";
    EXPECT_EQ(setup.report, "Set up " + directory.text() + "before" + kPathSeparator +
                                " for World of Tanks 1.20.0.0" + counts + errors);
    // An update that cannot unpack every atlas takes nothing apart, and no line says it did.
    const HeadlessOutcome update = run(HeadlessCommand::Update);
    EXPECT_EQ(update.report, "");
    EXPECT_EQ(update.reason, setup.reason);

    std::filesystem::current_path(directory.path());
    std::filesystem::rename("before", "after");
    std::filesystem::current_path("after");
    EXPECT_FALSE(run(HeadlessCommand::Build).succeeded);
    const std::string conf = readFileText("ravelin.conf");
    EXPECT_EQ(conf.find("before"), std::string::npos);
    EXPECT_NE(conf.find("after"), std::string::npos);
}

TEST(TerminalUi, AnswersQuestionsByFlagAndPicksNoFolder) {
    std::FILE* out = std::tmpfile();
    TerminalUi yes(out, true, std::nullopt);
    EXPECT_EQ(yes.showMessage("Q", "first?", MessageKind::Question), MessageAnswer::Yes);
    EXPECT_EQ(yes.chooseFolder("Select", ""), "");
    EXPECT_EQ(yes.showMessage("Error", "Select another one?", MessageKind::Question), MessageAnswer::Yes);
    TerminalUi no(out, false, std::nullopt);
    EXPECT_EQ(no.showMessage("Q", "a\r\nb", MessageKind::Question), MessageAnswer::No);
    no.openProgressWindow("quiet");
    no.setProgressBar(50);
    no.closeProgressWindow();
    std::rewind(out);
    char buffer[256] = {};
    const std::size_t read = std::fread(buffer, 1, sizeof buffer - 1, out);
    EXPECT_EQ(std::string(buffer, read), "Q: first? [Yes]\nError: Select another one? [Yes]\nQ: a b [No]\n");
    std::fclose(out);
}

// The progress line is redrawn in place only where it can be, never wraps on a console, and a finished
// step reads 100 %.
TEST(TerminalUi, ProgressLineIsRedrawnOnlyWhereItCanBe) {
    using Mode = ConsoleLineMode;
    EXPECT_EQ(consoleLineMode(false, false, 0), Mode::None);
    EXPECT_EQ(consoleLineMode(true, false, 0), Mode::EscapeCodes);
    EXPECT_EQ(consoleLineMode(false, true, 80), Mode::CarriageReturn);
    EXPECT_EQ(consoleLineMode(false, true, 0), Mode::LinePerStep);
    std::FILE* file = std::tmpfile();
    EXPECT_FALSE(ConsoleLine::open(file));  // a file never gets a progress line
    std::fclose(file);

    for (const Mode mode : {Mode::EscapeCodes, Mode::CarriageReturn, Mode::LinePerStep}) {
        SCOPED_TRACE(static_cast<int>(mode));
        std::FILE* out = std::tmpfile();
        TerminalUi ui(out, false, ConsoleLine::drawnAs(out, mode, 60));
        ui.openProgressWindow("Unpacking Atlas files");
        ui.setProgressText("battleAtlas.xml");
        for (const int value : {10, 37}) ui.setProgressBar(value);
        ui.closeProgressWindow();
        std::rewind(out);
        char buffer[2048] = {};
        const std::string text(buffer, std::fread(buffer, 1, sizeof buffer - 1, out));
        std::fclose(out);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.find('\n'), text.size() - 1);  // one line
        const std::string lastDrawing = text.substr(text.find_last_of('\r') + 1);
        EXPECT_NE(lastDrawing.find("[" + std::string(30, '#') + "] 100%"), std::string::npos) << lastDrawing;
        EXPECT_EQ(text.find('\033') != std::string::npos, mode == Mode::EscapeCodes);
        EXPECT_EQ(text.find('\r') != std::string::npos, mode != Mode::LinePerStep);
        if (mode == Mode::CarriageReturn) {
            EXPECT_EQ(lastDrawing.size(), 60u);  // 59 characters and "\n"
        }
    }

    // Cut by characters, never inside one, and blanked over what the line showed before.
    struct Case {
        std::string text;
        std::size_t widthBefore;
        int columns;
        std::string line;
        std::size_t widthAfter;
    };
    const Case cases[] = {{"abc", 0, 80, "\rabc", 3},
                          {"a", 3, 80, "\ra  ", 1},
                          {"W\xC3\xB6rld\xE2\x82\xAC!", 0, 7, "\rW\xC3\xB6rld\xE2\x82\xAC", 6},
                          {"abc", 2, 0, "\r  ", 0}};
    for (const Case& c : cases) {
        std::size_t width = c.widthBefore;
        EXPECT_EQ(redrawnLine(c.text, width, c.columns), c.line) << c.text;
        EXPECT_EQ(width, c.widthAfter) << c.text;
    }
}

// Thousands of updates in a step cost no drawing each: the line is drawn when the step opens, at most
// once a pace interval, and at its end.
TEST(TerminalUi, ProgressLineKeepsThePace) {
    ProgressPace pace;
    const ProgressPace::Clock::time_point start{};
    const std::pair<int, bool> steps[] = {{0, true},  {10, false}, {32, false},
                                          {33, true}, {40, false}, {70, true}};
    for (const auto& [milliseconds, due] : steps)
        EXPECT_EQ(pace.due(start + std::chrono::milliseconds(milliseconds)), due) << milliseconds;
    pace.restart();
    EXPECT_TRUE(pace.due(start + std::chrono::milliseconds(71)));

    std::FILE* out = std::tmpfile();
    TerminalUi ui(out, false, ConsoleLine::drawnAs(out, ConsoleLineMode::EscapeCodes, 60));
    ui.openProgressWindow("Extract original battleAtlas icons");
    for (int i = 0; i < 4000; ++i) {
        ui.setProgressText("Found icon: icon" + std::to_string(i) + ".png");
        ui.setProgressBar(i / 40);
    }
    ui.closeProgressWindow();
    std::rewind(out);
    std::string text(1 << 16, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), out));
    std::fclose(out);
    std::size_t drawings = 0;
    for (std::size_t at = text.find('\r'); at != std::string::npos; at = text.find('\r', at + 1)) ++drawings;
    EXPECT_GE(drawings, 2u);
    EXPECT_LT(drawings, 20u);  // not one per value
    EXPECT_NE(text.find("100% Found icon: icon3999.png"), std::string::npos);
}

#ifndef _WIN32  // a POSIX shell runs the program
TEST(RavelinCli, ExitCodesAndHelp) {
    ScopedWorkingDirectory directory;
    const std::string cli = RAVELIN_CLI_PATH;
    EXPECT_EQ(std::system((cli + " --help > help.txt").c_str()), 0);
    EXPECT_NE(readFileText("help.txt").find("setup [GAME_DIR]"), std::string::npos);
    EXPECT_EQ(std::system((cli + " build --help > build.txt").c_str()), 0);
    EXPECT_NE(readFileText("build.txt").find("Create Atlases"), std::string::npos);
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " frobnicate 2> /dev/null").c_str())), 2);
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " icons 2> /dev/null").c_str())), 2);
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " --package build 2> /dev/null").c_str())), 2);
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " build --install 2> /dev/null").c_str())), 2);
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " package a b 2> /dev/null").c_str())), 2);
}

// What a script sees: the exit code, stdout, and stderr with each error once. Stderr is a file here, so
// no progress line is drawn.
TEST(RavelinCli, SpeaksPlainly) {
    ScopedWorkingDirectory directory;
    FakeGameInstall game{directory.path() / "game", smallGameWithAtlases()};
    const std::string root = directory.text();
    struct Case {
        std::string arguments;
        int exitCode;
        std::string out;
        std::string err;
    };
    const std::string noSetup =
        "ravelin-cli: No Ravelin working directory here: run ravelin-cli setup GAME_DIR first.\n";
    const Case cases[] = {
        {"status", 1, "", noSetup},
        {"build", 1, "", noSetup},
        {"--workdir sub status", 1, "", "ravelin-cli: the working directory sub doesn't exist\n"},
        {"setup /games/World of Tanks", 2, "",
         "ravelin-cli: too many arguments: setup takes at most one GAME_DIR; put a path with blanks in "
         "quotes: "
         "ravelin-cli setup \"/games/World of Tanks\"\nTry 'ravelin-cli --help'.\n"},
        {"setup game/WorldOfTanks.exe", 1, "",
         "ravelin-cli: " + root + "game/WorldOfTanks.exe is a file: give the folder that holds it, " + root +
             "game/\n"},
        {"setup .", 1, "",
         "ravelin-cli: Didn't find the World of Tanks® executable WorldOfTanks.exe (or Tanki.exe) in " +
             root + "\n"},
        {"setup game", 0,
         "Set up " + root +
             " for World of Tanks 1.20.0.0: 8 icons in battleAtlas, 5 icons in vehicleMarkerAtlas.\n",
         ""},
        {"build", 0,
         "battleAtlas: 8 icons, 0 replaced, 0 unreadable replacements, 0 of another size, 0 new since the "
         "last game version\nvehicleMarkerAtlas: 5 icons, 0 replaced, 0 unreadable replacements, 0 of "
         "another size, 0 new since the last game version\nEvery file in the replacement folder matches an "
         "icon.\nThe new atlases are in " +
             root + "\n",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const int status =
            std::system((RAVELIN_CLI_PATH " " + c.arguments + " > out.txt 2> err.txt").c_str());
        EXPECT_EQ(WEXITSTATUS(status), c.exitCode);
        EXPECT_EQ(readFileText("out.txt"), c.out);
        EXPECT_EQ(readFileText("err.txt"), c.err);
    }
    EXPECT_FALSE(std::filesystem::exists("sub"));
}

// The system's language reaches the user, never the log; --lang overrides it.
TEST(RavelinCli, SpeaksTheSystemsLanguageWhileTheLogStaysEnglish) {
    ScopedWorkingDirectory directory;
    FakeGameInstall game(directory.path() / "game", smallGameWithAtlases());
    const std::string russian = "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=ru_RU.UTF-8 " +
                                std::string(RAVELIN_CLI_PATH) + " --workdir work ";
    ASSERT_EQ(std::system((russian + "setup " + game.text() + " > setup.txt 2> /dev/null").c_str()), 0);
    EXPECT_EQ(readFileText("setup.txt").rfind("Папка ", 0), 0u) << readFileText("setup.txt");
    EXPECT_NE(std::system((russian + "--lang de bogus 2> bogus.txt").c_str()), 0);
    EXPECT_EQ(readFileText("bogus.txt"),
              "ravelin-cli: unbekannter Befehl bogus\nMehr mit „ravelin-cli --help“.\n");
    ASSERT_EQ(std::system((russian + "status > status.txt").c_str()), 0);
    EXPECT_NE(readFileText("status.txt").find("Версия игры: "), std::string::npos);
    EXPECT_NE(readFileText("work/ravelin.log").find("Valid World of Tanks® install dir found"),
              std::string::npos);
    // A failed build: the reason the lower layers logged, in Russian on the last line, in English in the log.
    writeFileText("work/newTankImages/contour_0001.png", "not a PNG");
    EXPECT_EQ(WEXITSTATUS(std::system((russian + "build > /dev/null 2> build.txt").c_str())), 1);
    const std::string build = readFileText("build.txt");
    EXPECT_TRUE(build.ends_with("ravelin-cli: Не удаётся загрузить иконку: " +
                                (directory.path() / "work/newTankImages/contour_0001.png").string() + "\n"))
        << build;
    const std::string log = readFileText("work/ravelin.log");
    EXPECT_NE(log.find("ERROR: Can't load icon: "), std::string::npos);
    // Cyrillic letters are two bytes starting 0xD0 or 0xD1 in UTF-8; the log has none.
    EXPECT_EQ(log.find_first_of("\xD0\xD1"), std::string::npos);
}

TEST(RavelinCli, BuildPrintsItsSummaryAlsoWhenItFailsAndStatusCountsTheStates) {
    ScopedWorkingDirectory directory;
    FakeGameInstall game(directory.path() / "game", smallGameWithAtlases());
    const std::string cli = std::string(RAVELIN_CLI_PATH) + " --workdir work ";
    ASSERT_EQ(std::system((cli + "setup " + game.text() + " 2> /dev/null").c_str()), 0);
    // Its header reads, its data is cut off.
    writeFileText("work/newTankImages/contour_0001.png",
                  pngFileText(AtlasFixture::drawIcon(48, 40, 4)).substr(0, 60));
    writeFileText("work/newTankImages/contuor_0002.png", "x");
    // Through a pipe, not a terminal; the unreadable icon is an error, so the build fails.
    EXPECT_EQ(WEXITSTATUS(std::system((cli + "build 2> /dev/null | cat > summary.txt").c_str())), 0);
    EXPECT_EQ(writtenAtlasEntries("work/battleAtlas.xml").size(), 8u);  // the default icon took its place
    const std::string summary = readFileText("summary.txt");
    EXPECT_EQ(
        summary.rfind("battleAtlas: 8 icons, 0 replaced, 1 unreadable replacement, 0 of another size", 0), 0u)
        << summary;
    EXPECT_NE(summary.find("  Unreadable, the default icon was used: contour_0001.png\n"), std::string::npos);
    EXPECT_NE(summary.find("  contuor_0002.png (nearest icon: contour_0002)\n"), std::string::npos);
    EXPECT_NE(WEXITSTATUS(std::system((cli + "build > /dev/null 2>&1").c_str())), 0);
    ASSERT_EQ(std::system((cli + "status > status.txt").c_str()), 0);
    EXPECT_NE(readFileText("status.txt")
                  .find("\nvehicleMarkerAtlas: 5 icons, 0 replaced, 0 unreadable "
                        "replacements, 0 of another size, 0 new since the last game "
                        "version\nFiles matching no icon: 1\n"),
              std::string::npos)
        << readFileText("status.txt");
}

#endif

TEST_F(HeadlessTest, InstallCopiesTheBuiltAtlasesIntoTheGamesModDirectory) {
    FakeGameInstall today(directory.path() / "today", smallTodaysGameWithAtlases("2.4.0.2"));
    ASSERT_TRUE(run(HeadlessCommand::Setup, today.text()).succeeded);
    const HeadlessOutcome early = run(HeadlessCommand::Install);
    EXPECT_FALSE(early.succeeded);
    EXPECT_EQ(early.reason, "Can't install atlas file: vehicleMarkerAtlas.xml (not built yet)");

    EXPECT_EQ(run(HeadlessCommand::Package).reason,
              "Can't package atlas file: vehicleMarkerAtlas.xml (not built yet)");
    // The package counts the replacements the build takes; an empty file is none.
    const Image shown = *loadImage("defaultBattleImages/contour_0003.png");
    ASSERT_TRUE(saveImagePng(AtlasFixture::drawIcon(shown.width(), shown.height(), 9),
                             "newTankImages/contour_0003.png"));
    writeFileText("newTankImages/contour_0004.png", "");
    ASSERT_TRUE(run(HeadlessCommand::Build).succeeded);
    const HeadlessOutcome packaged = run(HeadlessCommand::Package);
    const std::string package = directory.text() + "ravelin.atlases_2.4.0.2.wotmod";
    EXPECT_EQ(packaged.report, "Package written: " + package + "\n");
    EXPECT_EQ(readFileText(package).substr(0, 4), "PK\x03\x04");
    EXPECT_NE(
        readFileText(package).find("<description>Battle and vehicle marker atlases built by Ravelin, 1 icons "
                                   "replaced.</description>"),
        std::string::npos);
    // The game's paths.xml names the folder, as on the Common Test.
    writeFileText((today.directory() / "paths.xml").string(),
                  "<root><Paths><Path>./res_mods/2.4.0.2 Common Test</Path></Paths></root>");
    const HeadlessOutcome installed = run(HeadlessCommand::Install);
    ASSERT_TRUE(installed.succeeded) << installed.reason;
    const std::filesystem::path mods =
        today.directory() / "res_mods" / "2.4.0.2 Common Test" / "gui" / "flash" / "atlases";
    EXPECT_EQ(installed.report, "Installed into " + (mods / "").string() + "\n");
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(mods)) {
        const std::string name = entry.path().filename().string();
        names.insert(name);
        EXPECT_EQ(readFileText(entry.path().string()), readFileText(name)) << name;
    }
    EXPECT_EQ(names, (std::set<std::string>{"battleAtlas.dds", "battleAtlas.xml", "vehicleMarkerAtlas.dds",
                                            "vehicleMarkerAtlas.xml"}));
    // The packages are never touched.
    EXPECT_FALSE(std::filesystem::exists(today.directory() / "res" / "packages" / "gui.pkg"));
}

// A second install that fails anywhere leaves the first one exactly as it was, with nothing beside it.
TEST_F(HeadlessTest, FailedInstallKeepsThePreviousSet) {
    FakeGameInstall today(directory.path() / "today", smallTodaysGameWithAtlases("2.4.0.2"));
    ASSERT_TRUE(run(HeadlessCommand::Setup, today.text()).succeeded);
    ASSERT_TRUE(run(HeadlessCommand::Build).succeeded);
    ASSERT_TRUE(run(HeadlessCommand::Install).succeeded);
    const std::filesystem::path mods =
        today.directory() / "res_mods" / "2.4.0.2" / "gui" / "flash" / "atlases";
    std::map<std::string, std::string> first;
    for (const auto& entry : std::filesystem::directory_iterator(mods))
        first[entry.path().filename().string()] = readFileText(entry.path().string());
    // The last file of the set is the one too large for the limit below.
    for (const auto& [name, content] : first)
        writeFileText(name, content + std::string(name == "battleAtlas.dds" ? 1 << 20 : 1, ' '));
    const auto kReadOnly = std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                           std::filesystem::perms::others_read;
    std::filesystem::permissions(mods / "vehicleMarkerAtlas.xml", kReadOnly);  // binding even for root
    EXPECT_EQ(run(HeadlessCommand::Install).reason,
              "Can't install the new atlases: " + (mods / "vehicleMarkerAtlas.xml").string() +
                  " is write-protected; the game's files are as they were.");
    std::filesystem::permissions(mods / "vehicleMarkerAtlas.xml", std::filesystem::perms::owner_all);
#ifndef _WIN32  // a file-size limit is an ordinary write error, not the end of the process
    const std::string cli = RAVELIN_CLI_PATH;
    EXPECT_EQ(WEXITSTATUS(std::system(("ulimit -f 1024; " + cli + " install 2> err.txt").c_str())), 1);
    EXPECT_NE(readFileText("err.txt").find("Can't install the new atlases: can't write "), std::string::npos);
#endif
    std::map<std::string, std::string> after;
    for (const auto& entry : std::filesystem::directory_iterator(mods))
        after[entry.path().filename().string()] = readFileText(entry.path().string());
    EXPECT_EQ(after, first);  // nothing mixed, no temporary file left
}

#ifndef _WIN32  // a POSIX shell runs the program
// ravelin.conf may be edited by hand: what it holds is shown escaped on a terminal.
TEST_F(HeadlessTest, HandEditedVersionsNeverSteerTheTerminal) {
    ASSERT_TRUE(run(HeadlessCommand::Setup, game.text()).succeeded);
    ASSERT_TRUE(run(HeadlessCommand::Build).succeeded);
    const std::string settings = readFileText("ravelin.conf");
    const auto withVersion = [&](const std::string& json) {
        std::string edited = settings;
        const std::size_t at = edited.find("\"1.20.0.0\"", edited.find("wotLastVersion"));
        edited.replace(at, 10, "\"" + json + "\"");
        writeFileText("ravelin.conf", edited);
    };
    const std::string cli = RAVELIN_CLI_PATH;
    withVersion("1.0\\u001b[2J\\u0007");
    EXPECT_EQ(std::system((cli + " status > status.txt").c_str()), 0);
    EXPECT_NE(readFileText("status.txt").find("Game Version: 1.0\\x1B[2J\\x07\n"), std::string::npos);
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " install 2> err.txt").c_str())), 1);
    EXPECT_EQ(readCrLfLines("err.txt").back(),
              "ravelin-cli: The game was updated from 1.0\\x1B[2J\\x07 to 1.20.0.0: run ravelin-cli update "
              "first.\n");
    EXPECT_FALSE(std::filesystem::exists(game.directory() / "res_mods"));
}
#endif

// An atlas XML without icons fails setup; install takes only atlases built without an error that hold
// icons. The older client's empty atlas is still built, byte for byte, but never installed.
TEST_F(HeadlessTest, AtlasesWithoutIconsOrWithBuildErrorsStayOutOfTheGame) {
    FakeGameOptions attributeStyle = smallGameWithAtlases();
    attributeStyle.battleAtlasXml = "<SubTexture name=\"a\" x=\"0\" y=\"0\" width=\"2\" height=\"2\"/>\r\n";
    FakeGameInstall empty(directory.path() / "empty", attributeStyle);
    EXPECT_EQ(run(HeadlessCommand::Setup, empty.text()).reason, "No icons found in battleAtlas.xml");
    ASSERT_TRUE(run(HeadlessCommand::Build).succeeded);
    EXPECT_EQ(run(HeadlessCommand::Install).reason,
              "Can't install atlas file: battleAtlas.xml (it holds no icons)");

    ASSERT_TRUE(run(HeadlessCommand::Setup, game.text()).succeeded);
    const std::string firstIcon = readCrLfLines("battleatlas.dat").front();
    std::filesystem::create_directory("broken");
    writeFileText("broken/" + firstIcon.substr(0, firstIcon.find(',')) + ".png", "not a png");
    ASSERT_TRUE(run(HeadlessCommand::Icons, directory.text() + "broken").succeeded);
    EXPECT_FALSE(run(HeadlessCommand::Build).succeeded);
    EXPECT_EQ(run(HeadlessCommand::Install).reason,
              "Can't install atlas file: battleAtlas.xml (its last build logged errors)");
    EXPECT_FALSE(std::filesystem::exists(game.directory() / "res_mods"));
    std::filesystem::remove_all("broken");
    std::filesystem::create_directory("broken");
    ASSERT_TRUE(run(HeadlessCommand::Build).succeeded);
    EXPECT_TRUE(run(HeadlessCommand::Install).succeeded);
}

TEST_F(HeadlessTest, GamesListsWhatWasFoundAndSetupTakesTheOnlyOne) {
    const std::filesystem::path home = directory.path() / "home";
    places = homeSearchPlaces(home.string());
    const HeadlessOutcome none = run(HeadlessCommand::Setup);
    EXPECT_FALSE(none.succeeded);
    EXPECT_FALSE(none.needsChoice);
    EXPECT_EQ(none.reason, "No game installation found: name its directory (setup GAME_DIR).");
    EXPECT_FALSE(std::filesystem::exists("ravelin.log"));
    const HeadlessOutcome nothing = run(HeadlessCommand::Games);
    EXPECT_EQ(nothing.report, "");
    EXPECT_EQ(nothing.notes, "No game installation found.\n");

    const std::filesystem::path steamGame =
        home / ".steam" / "steam" / "steamapps" / "common" / "World of Tanks";
    FakeGameInstall eu(steamGame / "EU", smallGameWithAtlases("2.4.0.2"));
    writeFileText((steamGame / "EU" / "game_info.xml").string(),
                  "<protocol><game><id>WOT.EU.PRODUCTION</id></game></protocol>");
    const std::filesystem::path vdf =
        home / ".local" / "share" / "Steam" / "steamapps" / "libraryfolders.vdf";
    std::filesystem::create_directories(vdf.parent_path());
    writeFileText(vdf.string(), "\"libraryfolders\" {");
    const HeadlessOutcome one = run(HeadlessCommand::Setup);
    EXPECT_TRUE(one.succeeded) << one.reason;
    EXPECT_EQ(one.notes, "Skipped a damaged record of game installations: " + vdf.string() +
                             " (damaged: unclosed block at byte 18)\n");
    EXPECT_NE(readFileText("ravelin.conf").find("\"2.4.0.2\""), std::string::npos);

    FakeGameInstall tanki(home / "Games" / "wargaming-game-center" / "drive_c" / "Tanki",
                          smallGameWithAtlases("1.37.0.0"));
    std::filesystem::rename(tanki.directory() / "WorldOfTanks.exe", tanki.directory() / "Tanki.exe");
    const std::filesystem::path center =
        home / "Games" / "wargaming-game-center" / "drive_c" / "ProgramData" / "Lesta" / "GameCenter";
    std::filesystem::create_directories(center);
    writeFileText((center / "preferences.xml").string(),
                  "<protocol><application><games_manager><games><game><working_dir>C:\\Tanki</working_dir>"
                  "</game></games></games_manager></application></protocol>");
    const std::string settingsBefore = readFileText("ravelin.conf");
    const HeadlessOutcome several = run(HeadlessCommand::Setup);
    EXPECT_TRUE(several.needsChoice);
    EXPECT_EQ(several.reason, "Several game installations found: name one (setup GAME_DIR).");
    const std::string list = eu.text() + "\tWG\tEU\t2.4.0.2\n" + tanki.text() + "\tLesta\t\t1.37.0.0\n";
    EXPECT_EQ(several.report, list);
    EXPECT_EQ(readFileText("ravelin.conf"), settingsBefore);
    EXPECT_EQ(run(HeadlessCommand::Games).report, list);
#ifndef _WIN32  // the program itself, its fields still separated by tabs
    EXPECT_EQ(
        std::system(("HOME='" + home.string() + "' " + RAVELIN_CLI_PATH + " games > games.txt").c_str()), 0);
    EXPECT_EQ(readFileText("games.txt"), list);
#endif

    // Lesta's client is named in the status, and its packages are .mtmod.
    ASSERT_TRUE(run(HeadlessCommand::Setup, tanki.text()).succeeded);
    EXPECT_NE(run(HeadlessCommand::Status)
                  .report.find("\nGame Version: 1.37.0.0 (Lesta)\nInstalled game version: 1.37.0.0\n"),
              std::string::npos);
    ASSERT_TRUE(run(HeadlessCommand::Build).succeeded);
    EXPECT_EQ(run(HeadlessCommand::Package).report,
              "Package written: " + directory.text() + "ravelin.atlases_1.37.0.0.mtmod\n");
}

TEST_F(HeadlessTest, UpdateRemembersTheIconsTheGameAdded) {
    ASSERT_TRUE(run(HeadlessCommand::Setup, game.text()).succeeded);
    EXPECT_FALSE(std::filesystem::exists("battleatlas-new.dat"));
    // As if the previous version had lacked the first two icons.
    std::vector<std::string> lines = readCrLfLines("battleatlas.dat");
    ASSERT_GE(lines.size(), 3u);
    std::string previous;
    for (std::size_t i = 2; i < lines.size(); ++i) previous += lines[i] + "\r\n";
    writeFileText("battleatlas.dat", previous);
    const auto nameOf = [](const std::string& line) { return line.substr(0, line.find(',')); };
    ASSERT_TRUE(run(HeadlessCommand::Update).succeeded);
    EXPECT_EQ(readFileText("battleatlas-new.dat"), nameOf(lines[0]) + "\r\n" + nameOf(lines[1]) + "\r\n");
    EXPECT_FALSE(std::filesystem::exists("markeratlas-new.dat"));
    ASSERT_TRUE(run(HeadlessCommand::Update).succeeded);  // the same version again keeps the list
    EXPECT_EQ(readCrLfLines("battleatlas-new.dat").size(), 2u);
}

TEST_F(HeadlessTest, ReportWritesThePageWhereAskedAndKeepsTheLog) {
    EXPECT_EQ(run(HeadlessCommand::Report).reason.rfind("No Ravelin working directory here", 0), 0u);
    ASSERT_TRUE(run(HeadlessCommand::Setup, game.text()).succeeded);
    const std::string log = readFileText("ravelin.log");
    const HeadlessOutcome written = run(HeadlessCommand::Report);
    ASSERT_TRUE(written.succeeded) << written.reason;
    EXPECT_EQ(written.report, "Report written to ravelin-report.html\n");
    EXPECT_EQ(readFileText("ravelin-report.html").rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_EQ(readFileText("ravelin.log"), log);
    const std::string elsewhere = directory.text() + "missing" + kPathSeparator + "page.html";
    EXPECT_EQ(run(HeadlessCommand::Report, elsewhere).reason, "Can't write the report: " + elsewhere);
}

// Another mod's battle atlas: named by conflicts (exit 3 from ravelin-cli) with the entries Ravelin's atlas
// lacks, and after an install as hidden by Ravelin's; a package that cannot be read makes conflicts fail.
TEST_F(HeadlessTest, ConflictsAndEveryInstallNameOtherModsAtlases) {
    FakeGameInstall today(directory.path() / "today", smallTodaysGameWithAtlases("2.4.0.2"));
    ASSERT_TRUE(run(HeadlessCommand::Setup, today.text()).succeeded);
    ASSERT_TRUE(run(HeadlessCommand::Build).succeeded);
    const HeadlessOutcome nothing = run(HeadlessCommand::Conflicts);
    EXPECT_TRUE(nothing.succeeded);
    EXPECT_FALSE(nothing.conflictsFound);
    EXPECT_EQ(nothing.report, "No other mod ships battleAtlas or vehicleMarkerAtlas.\n");

    const std::filesystem::path mods = today.directory() / "mods" / "2.4.0.2";
    std::filesystem::create_directories(mods / "badges");
    const std::string package = (mods / "badges" / "badges.wotmod").string();
    writeFileBytes(package, writeZip({{"meta.xml", {'x'}, true},
                                      {"res/gui/flash/atlases/battleAtlas.xml",
                                       [] {
                                           const std::string xml =
                                               "<root><SubTexture>\n<name>badge_7</name>\n<width>1</"
                                               "width>\n<height>1</height>\n</SubTexture></root>\n";
                                           return std::vector<std::uint8_t>(xml.begin(), xml.end());
                                       }(),
                                       false}}));
    const std::string loses = " It has 1 entry Ravelin's atlas lacks (badge_7): ravelin-cli import \"" +
                              package + "\" takes it in.\n";
    const HeadlessOutcome found = run(HeadlessCommand::Conflicts);
    EXPECT_TRUE(found.conflictsFound);
    EXPECT_EQ(found.report,
              "battleAtlas of mods/2.4.0.2/badges/badges.wotmod: the game shows this one." + loses);
#ifndef _WIN32  // a POSIX shell runs the program
    const std::string cli = std::string(RAVELIN_CLI_PATH) + " --workdir " + directory.text() + " conflicts";
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " > out.txt").c_str())), 3);
    EXPECT_EQ(readFileText("out.txt"), found.report);
#endif

    const HeadlessOutcome installed = run(HeadlessCommand::Install);
    ASSERT_TRUE(installed.succeeded) << installed.reason;
    EXPECT_NE(installed.report.find("Other mods ship the atlases too:\n  battleAtlas of "
                                    "mods/2.4.0.2/badges/badges.wotmod: hidden by Ravelin's in "
                                    "res_mods/2.4.0.2/gui/flash/atlases/." +
                                    loses),
              std::string::npos)
        << installed.report;

    writeFileText((mods / "broken.wotmod").string(), "PK");
    const HeadlessOutcome broken = run(HeadlessCommand::Conflicts);
    EXPECT_FALSE(broken.succeeded);
    EXPECT_EQ(broken.reason,
              "Can't open the package: " + (mods / "broken.wotmod").string() + " (not a zip package)");
#ifndef _WIN32
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " > out.txt 2> /dev/null").c_str())), 1);
#endif
    // The install still goes in, with the unreadable package a warning in the log.
    EXPECT_TRUE(run(HeadlessCommand::Install).succeeded);
    EXPECT_NE(readFileText("ravelin.log").find("Can't open the package"), std::string::npos);
}
