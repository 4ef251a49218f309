#pragma once

// Readers for the files in which launchers record where they installed the game. Each takes the file's
// text and returns what it lists, or the reason it is damaged; the files themselves are found and read by
// the installation search.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Steam's application id of World of Tanks.
inline constexpr std::string_view kSteamAppId = "1407200";

struct RecordReading {
    std::vector<std::string> entries;
    std::string fault;  // not empty when the record is damaged; entries is empty then
};

// The game folders a Game Center's preferences.xml lists (application/games_manager/games/game/working_dir).
RecordReading gameCenterGameFolders(std::string_view preferencesXml);

// The library folders of Steam's libraryfolders.vdf that hold the game (or do not say what they hold);
// both the current form ("libraryfolders" { "0" { "path" … "apps" { … } } }) and the older one
// ("LibraryFolders" { "1" "D:\\Games" }).
RecordReading steamLibraryFolders(std::string_view libraryFoldersVdf);

// When the game was last played, from Steam's appmanifest_1407200.acf (seconds since 1970), else 0.
std::int64_t steamLastPlayed(std::string_view appManifest);

// The Wine prefix of a Lutris game configuration (the key prefix under game:), "~/" meaning home.
RecordReading lutrisPrefix(std::string_view configuration, const std::string& home);

// The realm of a game_info.xml's game id ("WOT.EU.PRODUCTION" gives "EU", "WOT.CT.PRODUCTION" "CT"); the
// empty text when it names none.
std::string realmOfGameInfo(std::string_view gameInfoXml);
// The realm WoTLauncher.cfg names, for a game without game_info.xml: the first <realm> element, or the
// first element whose text is a game id; the empty text when it names none.
std::string realmOfLauncherConfig(std::string_view launcherConfig);

// Where a Windows path ("C:\Games\World_of_Tanks") lies inside a Wine prefix: drive C in drive_c, other
// drives through dosdevices. A path without drive letter is returned as it is.
std::string pathInWinePrefix(const std::string& prefix, std::string_view windowsPath);

// The folder of the program a registry value names: "\"C:\Lesta\lgc.exe\",0" gives "C:\Lesta\".
std::string folderOfProgram(std::string_view value);
