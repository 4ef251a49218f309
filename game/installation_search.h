#pragma once

// Finding the game without asking: where Wargaming's and Lesta's Game Centers, Steam, Lutris and Wine
// record installations. Every candidate is checked as a game directory; the same directory found twice is
// listed once. Nothing is started or asked of a launcher: only their files (and on Windows their registry
// keys) are read.

#include <cstdint>
#include <string>
#include <vector>

#include "game/game_directory.h"

class Registry;
class Reporter;

struct GameInstallation {
    std::string directory;  // with a trailing separator
    GameClient client = GameClient::Wargaming;
    std::string realm;    // "EU", "NA", "CT" (the Common Test), … or empty when the game does not say
    std::string version;  // the client version, or empty
    std::int64_t lastPlayed = 0;  // seconds since 1970 where the launcher records it, else 0
};

// "WG EU 2.4.0.2", "WG Common Test 2.5.0.0", "Lesta 1.37.0.0": client, realm and version as far as known.
std::string installationLabel(const GameInstallation& installation);

// Where to look. The lists name folders; those that do not exist are passed over silently.
struct SearchPlaces {
    std::vector<std::string> gameCenterFolders;  // folders that may hold a Game Center's preferences.xml
    std::vector<std::string> steamFolders;       // Steam's own folders (each holding steamapps/)
    std::vector<std::string> lutrisFolders;      // folders of Lutris game configurations (*.yml)
    std::vector<std::string> winePrefixes;       // Wine prefixes, searched like a Windows disk
    std::string home;                            // what "~" means in Lutris configurations
    const Registry* registry = nullptr;          // the launchers' registry keys (Windows)
};

// The places on Linux for a home folder: Steam in ~/.local/share/Steam, ~/.steam/steam and Flatpak's,
// Lutris's configurations, and the prefixes ~/Games/wargaming-game-center and ~/.wine.
SearchPlaces homeSearchPlaces(const std::string& home);
// The places on Windows: both Game Centers under ProgramData, Steam's usual folder and the registry.
SearchPlaces windowsSearchPlaces(const std::string& programData, const std::string& programFiles,
                                 const Registry& registry);
// The places of the machine the program runs on.
SearchPlaces systemSearchPlaces();

// The installations found, most recently played first where known, then in the order found. A damaged
// record is skipped with one information line naming it and why; the others are still read.
std::vector<GameInstallation> findGameInstallations(const SearchPlaces& places, Reporter& reporter);
