#include "game/installation_search.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "game/client_version.h"
#include "game/installation_records.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/path_separator.h"
#include "platform/registry.h"
#include "platform/reporter.h"
#include "platform/text_utilities.h"

namespace {

// Records are small; anything larger is not one.
constexpr std::int64_t kLargestRecord = 8 * 1024 * 1024;

constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string joined(const std::string& folder, std::initializer_list<std::string_view> names) {
    std::string path = withTrailingSeparator(folder);
    for (const std::string_view name : names) path += std::string(name) + kPathSeparator;
    path.pop_back();
    return path;
}

// Reports nothing: versions are read quietly while searching.
class QuietReporter : public Reporter {
public:
    void logInfo(std::string_view) override {}
    void logError(std::string_view) override {}
    void openProgress(std::string_view) override {}
    void setProgressText(std::string_view) override {}
    void setProgressValue(int) override {}
    void closeProgress() override {}
};

// The names of a folder's entries of one type, in the same order on every file system.
std::vector<std::string> sortedEntries(const std::string& folder, std::string_view pattern,
                                       DirectoryListing::EntryType type) {
    std::vector<std::string> names;
    if (std::optional<DirectoryListing> listing = DirectoryListing::open(folder, pattern)) {
        while (listing->next()) {
            if (listing->entryType() == type) names.push_back(listing->entryName());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The text of a small file of the game's; the empty text when it is missing, not a file or too large.
std::string gameFileText(const std::string& path) {
    const std::int64_t size = fileSize(path);
    if (size <= 0 || size > kLargestRecord) return {};
    const auto bytes = readWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

struct Candidate {
    std::string directory;
    std::int64_t lastPlayed = 0;
};

class Search {
public:
    Search(const SearchPlaces& places, Reporter& reporter) : places_(places), reporter_(reporter) {}

    std::vector<GameInstallation> run() {
        if (places_.registry) readRegistry(*places_.registry);
        for (const std::string& folder : places_.gameCenterFolders) readGameCenter(folder, {});
        for (const std::string& folder : places_.steamFolders) readSteam(folder);
        for (const std::string& folder : places_.lutrisFolders) readLutris(folder);
        for (const std::string& prefix : places_.winePrefixes) readPrefix(prefix);
        return installations();
    }

private:
    // The text of a record that exists; none (and nothing said) when there is none, none with one line
    // when it cannot be read.
    std::optional<std::string> recordText(const std::string& path) {
        const std::int64_t size = fileSize(path);
        if (size < 0) return std::nullopt;
        if (size > kLargestRecord) {
            skipDamaged(path, "larger than " + std::to_string(kLargestRecord) + " bytes");
            return std::nullopt;
        }
        const std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(path);
        if (!bytes) {
            skipDamaged(path, "cannot be read");
            return std::nullopt;
        }
        return std::string(bytes->begin(), bytes->end());
    }

    void skipDamaged(const std::string& path, const std::string& fault) {
        reporter_.logInfo(englishText("Skipped a damaged record of game installations: {file} ({reason})",
                                      {{"file", path}, {"reason", fault}}));
    }

    // The entries of a record, or nothing when it is missing or damaged.
    std::vector<std::string> entriesOf(const std::string& path, RecordReading (*read)(std::string_view)) {
        const std::optional<std::string> text = recordText(path);
        if (!text) return {};
        RecordReading reading = read(*text);
        if (!reading.fault.empty()) skipDamaged(path, reading.fault);
        return std::move(reading.entries);
    }

    void add(const std::string& directory, std::int64_t lastPlayed = 0) {
        if (directory.empty()) return;
        candidates_.push_back(
            {withTrailingSeparator(utf8PathText(nativePath(directory).lexically_normal())), lastPlayed});
    }

    // A Game Center's list; inside a Wine prefix its Windows paths are taken to the prefix.
    void readGameCenter(const std::string& folder, const std::optional<std::string>& prefix) {
        for (const std::string& game : entriesOf(joined(folder, {"preferences.xml"}), gameCenterGameFolders))
            add(prefix ? pathInWinePrefix(*prefix, game) : game);
    }

    void readSteam(const std::string& steam) {
        std::vector<std::string> libraries = {steam};
        for (std::string& library :
             entriesOf(joined(steam, {"steamapps", "libraryfolders.vdf"}), steamLibraryFolders))
            libraries.push_back(std::move(library));
        for (const std::string& library : libraries) {
            std::int64_t lastPlayed = 0;
            if (const auto manifest = recordText(
                    joined(library, {"steamapps", "appmanifest_" + std::string(kSteamAppId) + ".acf"})))
                lastPlayed = steamLastPlayed(*manifest);
            // The game's folder holds one folder per realm.
            const std::string game = joined(library, {"steamapps", "common", "World of Tanks"});
            add(game, lastPlayed);
            for (const std::string& realm : sortedEntries(game, "*", DirectoryListing::EntryType::Directory))
                add(joined(game, {realm}), lastPlayed);
        }
    }

    void readLutris(const std::string& folder) {
        for (const std::string& name : sortedEntries(folder, "*.yml", DirectoryListing::EntryType::File)) {
            const std::string path = joined(folder, {name});
            const std::optional<std::string> text = recordText(path);
            if (!text || !aboutTheGame(*text)) continue;
            const RecordReading reading = lutrisPrefix(*text, places_.home);
            if (!reading.fault.empty()) {
                skipDamaged(path, reading.fault);
                continue;
            }
            readPrefix(reading.entries.front());
        }
    }

    // Lutris keeps every game's configuration side by side; only the game's own are of interest.
    static bool aboutTheGame(std::string_view text) {
        std::string folded(text);
        for (char& c : folded) c = foldAsciiCase(c);
        for (const std::string_view word : {"wargaming", "world of tanks", "world-of-tanks", "world_of_tanks",
                                            "worldoftanks", "lesta", "tanki", "mir tankov"}) {
            if (folded.find(word) != std::string::npos) return true;
        }
        return false;
    }

    void readPrefix(const std::string& prefix) {
        for (const char* publisher : {"Wargaming.net", "Lesta"})
            readGameCenter(joined(prefix, {"drive_c", "ProgramData", publisher, "GameCenter"}), prefix);
    }

    void readRegistry(const Registry& registry) {
        for (const RegistryRoot root : {RegistryRoot::CurrentUser, RegistryRoot::LocalMachine}) {
            for (const std::string& entry : registry.subkeyNames(root, kUninstallKey)) {
                const std::string key = std::string(kUninstallKey) + "\\" + entry;
                const std::string publisher = registry.textValue(root, key, "Publisher").value_or("");
                if (publisher.find("Wargaming") == std::string::npos &&
                    publisher.find("Lesta") == std::string::npos)
                    continue;
                add(registry.textValue(root, key, "InstallLocation").value_or(""));
            }
        }
        if (const auto icon =
                registry.textValue(RegistryRoot::CurrentUser, "Software\\Classes\\lgc\\DefaultIcon", ""))
            readGameCenter(folderOfProgram(*icon), {});
        if (const auto steam =
                registry.textValue(RegistryRoot::CurrentUser, "Software\\Valve\\Steam", "SteamPath"))
            readSteam(*steam);
    }

    // Each game directory once, checked, with what it tells of itself.
    std::vector<GameInstallation> installations() const {
        std::vector<GameInstallation> found;
        std::vector<std::string> keys;
        for (const Candidate& candidate : candidates_) {
            const std::string key = identity(candidate.directory);
            const auto seen = std::find(keys.begin(), keys.end(), key);
            if (seen != keys.end()) {
                GameInstallation& earlier = found[static_cast<std::size_t>(seen - keys.begin())];
                earlier.lastPlayed = std::max(earlier.lastPlayed, candidate.lastPlayed);
                continue;
            }
            const std::optional<GameClient> client = gameClientIn(candidate.directory);
            if (fileSize(candidate.directory) != kPathIsDirectory || !client) continue;
            keys.push_back(key);
            found.push_back(describe(candidate, *client));
        }
        std::stable_sort(
            found.begin(), found.end(),
            [](const GameInstallation& a, const GameInstallation& b) { return a.lastPlayed > b.lastPlayed; });
        return found;
    }

    static GameInstallation describe(const Candidate& candidate, GameClient client) {
        GameInstallation installation{candidate.directory, client, {}, {}, candidate.lastPlayed};
        installation.realm = realmOfGameInfo(gameFileText(candidate.directory + "game_info.xml"));
        // Installations without game_info.xml still name their game in the launcher's configuration.
        if (installation.realm.empty())
            installation.realm = realmOfLauncherConfig(gameFileText(candidate.directory + "WoTLauncher.cfg"));
        QuietReporter quiet;
        installation.version = readClientVersion(candidate.directory, quiet);
        return installation;
    }

    // The same directory reached by other paths (links, "..", letter case on Windows) is one directory.
    static std::string identity(const std::string& directory) {
        std::error_code error;
        const std::filesystem::path canonical =
            std::filesystem::weakly_canonical(nativePath(directory), error);
        std::string key = withTrailingSeparator(error ? directory : utf8PathText(canonical));
#ifdef _WIN32
        for (char& c : key) c = foldAsciiCase(c);
#endif
        return key;
    }

    const SearchPlaces& places_;
    Reporter& reporter_;
    std::vector<Candidate> candidates_;
};

}  // namespace

std::string installationLabel(const GameInstallation& installation) {
    std::string label(gameClientName(installation.client));
    if (installation.realm == "CT") {
        label += " Common Test";
    } else if (!installation.realm.empty()) {
        label += " " + installation.realm;
    }
    if (!installation.version.empty()) label += " " + installation.version;
    return label;
}

SearchPlaces homeSearchPlaces(const std::string& home) {
    SearchPlaces places;
    places.home = home;
    places.steamFolders = {
        joined(home, {".local", "share", "Steam"}), joined(home, {".steam", "steam"}),
        joined(home, {".var", "app", "com.valvesoftware.Steam", ".local", "share", "Steam"})};
    places.lutrisFolders = {joined(home, {".config", "lutris", "games"}),
                            joined(home, {".local", "share", "lutris", "games"})};
    places.winePrefixes = {joined(home, {"Games", "wargaming-game-center"}), joined(home, {".wine"})};
    return places;
}

SearchPlaces windowsSearchPlaces(const std::string& programData, const std::string& programFiles,
                                 const Registry& registry) {
    SearchPlaces places;
    places.gameCenterFolders = {joined(programData, {"Wargaming.net", "GameCenter"}),
                                joined(programData, {"Lesta", "GameCenter"})};
    places.steamFolders = {joined(programFiles, {"Steam"})};
    places.registry = &registry;
    return places;
}

SearchPlaces systemSearchPlaces() {
#ifdef _WIN32
    const char* programData = std::getenv("ProgramData");
    const char* programFiles = std::getenv("ProgramFiles(x86)");
    return windowsSearchPlaces(programData ? programData : "C:\\ProgramData",
                               programFiles ? programFiles : "C:\\Program Files (x86)", systemRegistry());
#else
    const std::string home = homeDirectory();
    return home.empty() ? SearchPlaces{} : homeSearchPlaces(home);
#endif
}

std::vector<GameInstallation> findGameInstallations(const SearchPlaces& places, Reporter& reporter) {
    return Search(places, reporter).run();
}
