#include "game/installation_search.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "game/mod_package.h"
#include "platform/path_separator.h"
#include "tests/support/fake_registry.h"
#include "tests/support/test_context.h"

namespace fs = std::filesystem;

namespace {

// A game folder as launchers leave it: the executable, the launcher configuration and the game's id.
void makeGame(const fs::path& folder, const std::string& gameId, const std::string& version,
              const char* executable = "WorldOfTanks.exe") {
    fs::create_directories(folder);
    writeFileText((folder / executable).string(), "MZ");
    writeFileText((folder / "WoTLauncher.cfg").string(), "<client_ver>" + version + "</client_ver>");
    writeFileText((folder / "game_info.xml").string(),
                  "<protocol><game><id>" + gameId + "</id></game></protocol>");
}

void writeFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    writeFileText(path.string(), content);
}

// A path as Steam writes it into its files: backslashes doubled.
std::string vdfText(const fs::path& path) {
    std::string text;
    for (const char c : path.string()) text += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return text;
}

std::string preferences(const std::vector<std::string>& folders) {
    std::string xml = "<protocol><application><games_manager><games>";
    for (const std::string& folder : folders) xml += "<game><working_dir>" + folder + "</working_dir></game>";
    return xml + "</games></games_manager></application></protocol>";
}

struct InstallationSearchTest : ::testing::Test {
    TestContext t;
    fs::path home = t.directory.path() / "home";

    // Paths as the search writes them: in the platform's form, directories with a trailing separator.
    static std::string text(const fs::path& path) { return path.lexically_normal().string(); }
    static std::string dir(const fs::path& path) { return withTrailingSeparator(text(path)); }
    std::vector<std::string> found(const SearchPlaces& places) {
        std::vector<std::string> lines;
        for (const GameInstallation& installation : findGameInstallations(places, t.reporter))
            lines.push_back(installation.directory + " " + installationLabel(installation));
        return lines;
    }
};

}  // namespace

TEST_F(InstallationSearchTest, AnEmptyHomeHoldsNothingAndSaysNothing) {
    fs::create_directories(home);
    EXPECT_TRUE(found(homeSearchPlaces(home.string())).empty());
    EXPECT_TRUE(found(SearchPlaces{}).empty());
    EXPECT_TRUE(t.entries().empty());
}

TEST_F(InstallationSearchTest, EverySourceOfALinuxHomeOnceAndMostRecentlyPlayedFirst) {
    // Steam: the game in its own folder (two realms) and in a second library, played last.
    const fs::path steam = home / ".local/share/Steam";
    const fs::path library = t.directory.path() / "library";
    makeGame(steam / "steamapps/common/World of Tanks/EU", "WOT.EU.PRODUCTION", "2.4.0.2");
    fs::create_directories(steam / "steamapps/common/World of Tanks/not a game");
    // Without game_info.xml: the realm from the launcher's configuration.
    makeGame(library / "steamapps/common/World of Tanks/NA", "WOT.NA.PRODUCTION", "2.4.0.1");
    fs::remove(library / "steamapps/common/World of Tanks/NA/game_info.xml");
    writeFile(library / "steamapps/common/World of Tanks/NA/WoTLauncher.cfg",
              "<?xml version=\"1.0\"?>\n<info>\n  <item>http://update.wot.na/</item>\n"
              "  <game_id>WOT.NA.PRODUCTION</game_id>\n  <client_ver>2.4.0.1</client_ver>\n</info>\n");
    writeFile(steam / "steamapps/libraryfolders.vdf",
              "\"libraryfolders\" { \"0\" { \"path\" \"" + vdfText(steam) + "\" } \"1\" { \"path\" \"" +
                  vdfText(library) + "\" \"apps\" { \"1407200\" \"1\" } } }");
    writeFile(library / "steamapps/appmanifest_1407200.acf",
              "\"AppState\" { \"LastPlayed\" \"1700000000\" }");
    fs::create_directories(home / ".steam");
    std::error_code noLinks;                                              // Windows may not allow links
    fs::create_directory_symlink(steam, home / ".steam/steam", noLinks);  // the same Steam by another path

    // Lutris: a prefix of its own whose Game Center lists a Common Test on drive C, and Lesta's client.
    const fs::path prefix = t.directory.path() / "lutris-prefix";
    writeFile(home / ".config/lutris/games/world-of-tanks-1.yml",
              "game:\n  prefix: " + prefix.string() + "\nname: World of Tanks\n");
    writeFile(home / ".config/lutris/games/other-game.yml", "game:\n  exe: /usr/bin/true\n");
    makeGame(prefix / "drive_c/Games/World_of_Tanks_CT", "WOT.CT.PRODUCTION", "2.5.0.0");
    writeFile(prefix / "drive_c/ProgramData/Wargaming.net/GameCenter/preferences.xml",
              preferences({"C:\\Games\\World_of_Tanks_CT", "C:\\Games\\Uninstalled"}));
    makeGame(prefix / "drive_c/Games/Tanki", "MT.RU.PRODUCTION", "1.37.0.0", "Tanki.exe");
    writeFile(prefix / "drive_c/ProgramData/Lesta/GameCenter/preferences.xml",
              preferences({"C:\\Games\\Tanki"}));

    EXPECT_EQ(
        found(homeSearchPlaces(home.string())),
        (std::vector<std::string>{dir(library / "steamapps/common/World of Tanks/NA") + " WG NA 2.4.0.1",
                                  dir(steam / "steamapps/common/World of Tanks/EU") + " WG EU 2.4.0.2",
                                  dir(prefix / "drive_c/Games/World_of_Tanks_CT") + " WG Common Test 2.5.0.0",
                                  dir(prefix / "drive_c/Games/Tanki") + " Lesta RU 1.37.0.0"}));
    EXPECT_TRUE(t.entries().empty());
}

TEST_F(InstallationSearchTest, ADamagedSourceIsSkippedWithOneLineAndTheOthersStillFound) {
    makeGame(home / "Games/wargaming-game-center/drive_c/Games/World_of_Tanks_EU", "WOT.EU.PRODUCTION",
             "2.4");
    writeFile(
        home / "Games/wargaming-game-center/drive_c/ProgramData/Wargaming.net/GameCenter/preferences.xml",
        preferences({"C:\\Games\\World_of_Tanks_EU"}));
    const fs::path wineCenter = home / ".wine/drive_c/ProgramData/Wargaming.net/GameCenter/preferences.xml";
    writeFile(wineCenter, "\xFF\xFE<\0p\0r\0");
    const fs::path vdf = home / ".local/share/Steam/steamapps/libraryfolders.vdf";
    writeFile(vdf, "\"libraryfolders\" { \"0\" { \"path\" \"/never/closed } }");
    const fs::path yml = home / ".local/share/lutris/games/wargaming-game-center.yml";
    writeFile(yml, "game:\n  exe: wgc.exe\nname: Wargaming Game Center\n");

    EXPECT_EQ(found(homeSearchPlaces(home.string())).size(), 1u);
    EXPECT_EQ(t.entries(),
              (std::vector<std::string>{"Skipped a damaged record of game installations: " + text(vdf) +
                                            " (damaged: unterminated quote at byte 50)",
                                        "Skipped a damaged record of game installations: " + text(yml) +
                                            " (no Wine prefix under game:)",
                                        "Skipped a damaged record of game installations: " +
                                            text(wineCenter) + " (not XML: no root element at byte 0)"}));
    EXPECT_EQ(t.log.errorCount(), 0);
}

TEST_F(InstallationSearchTest, WindowsGameCentersSteamAndRegistry) {
    const fs::path programData = t.directory.path() / "ProgramData";
    const fs::path games = t.directory.path() / "Games";
    makeGame(games / "World_of_Tanks_EU", "WOT.EU.PRODUCTION", "2.4.0.2");
    makeGame(games / "World_of_Tanks_ASIA", "WOT.ASIA.PRODUCTION", "2.4.0.0");
    makeGame(games / "Tanki", "RU", "1.37.0.0", "Tanki.exe");
    makeGame(games / "Steam/steamapps/common/World of Tanks/EU", "WOT.EU.PRODUCTION", "2.4.0.2");
    writeFile(programData / "Wargaming.net/GameCenter/preferences.xml",
              preferences({(games / "World_of_Tanks_EU").string()}));
    const fs::path lgc = t.directory.path() / "Lesta Center";
    writeFile(lgc / "preferences.xml", preferences({(games / "Tanki").string()}));

    FakeRegistry registry;
    const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    registry.set(RegistryRoot::CurrentUser, uninstall + "WOT.ASIA.PRODUCTION", "Publisher", "Wargaming.net");
    registry.set(RegistryRoot::CurrentUser, uninstall + "WOT.ASIA.PRODUCTION", "InstallLocation",
                 (games / "World_of_Tanks_ASIA").string());
    registry.set(RegistryRoot::CurrentUser, uninstall + "Editor", "Publisher", "Someone Else");
    registry.set(RegistryRoot::CurrentUser, uninstall + "Editor", "InstallLocation",
                 (games / "Tanki").string());
    registry.set(RegistryRoot::CurrentUser, uninstall + "Duplicate", "Publisher", "Wargaming.net");
    registry.set(RegistryRoot::CurrentUser, uninstall + "Duplicate", "InstallLocation",
                 (games / "World_of_Tanks_EU" / ".." / "World_of_Tanks_EU").string());
    registry.set(RegistryRoot::CurrentUser, "Software\\Classes\\lgc\\DefaultIcon", "",
                 "\"" + (lgc / "lgc.exe").string() + "\",0");
    registry.set(RegistryRoot::CurrentUser, "Software\\Valve\\Steam", "SteamPath",
                 (games / "Steam").string());

    EXPECT_EQ(
        found(windowsSearchPlaces(programData.string(), t.directory.path().string(), registry)),
        (std::vector<std::string>{
            dir(games / "World_of_Tanks_EU") + " WG EU 2.4.0.2",
            dir(games / "World_of_Tanks_ASIA") + " WG ASIA 2.4.0.0", dir(games / "Tanki") + " Lesta 1.37.0.0",
            dir(games / "Steam/steamapps/common/World of Tanks/EU") + " WG EU 2.4.0.2"}));
}

TEST(GameDirectory, EitherClientsExecutableMakesAGameDirectoryAndNamesItsPackages) {
    TestContext t;
    const struct {
        const char* executable;
        const char* content;
        GameDirectoryCheck check;
        const char* extension;
    } cases[] = {
        {"WorldOfTanks.exe", "MZ", GameDirectoryCheck::Valid, ".wotmod"},
        {"Tanki.exe", "MZ", GameDirectoryCheck::Valid, ".mtmod"},
        {"Tanki.exe", "", GameDirectoryCheck::WithoutExecutable, ".wotmod"},
        {"tanks.exe", "MZ", GameDirectoryCheck::WithoutExecutable, ".wotmod"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.executable);
        const std::string folder = t.directory.text() + std::to_string(++n) + kPathSeparator;
        fs::create_directory(folder);
        writeFileText(folder + c.executable, c.content);
        EXPECT_EQ(checkGameDirectory(folder), c.check);
        EXPECT_EQ(modPackageExtension(folder), c.extension);
    }
}
