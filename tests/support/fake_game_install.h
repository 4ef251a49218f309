#pragma once

// A game installation directory built by code: a non-empty "WorldOfTanks.exe", a "WoTLauncher.cfg"
// holding the client version, and "res/packages/gui.pkg" written as a zip with libarchive, the four
// atlas entries among others, deflated and stored, optionally broken in the ways real packages break.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct PackageEntry {
    std::string name;
    std::vector<std::uint8_t> content;
    bool stored = false;  // else deflated
};

struct FakeGameOptions {
    std::string clientVersion = "1.20.0.0";
    std::string battleAtlasPng{};  // the four wanted entries' contents; generated when empty
    std::string battleAtlasXml{};
    std::string markerAtlasPng{};
    std::string markerAtlasXml{};
    int otherEntries = 20;  // unrelated entries around the wanted ones
    std::size_t otherEntrySize = 512;
    bool omitBattleXml = false;
    bool duplicateBattleXml = false;
    bool upperCaseFolder = false;  // "GUI/flash/atlases/..." instead of "gui/..."
    bool damageHeaderBeforeMarker = false;
    bool corruptBattlePngData = false;
    bool notAZip = false;
};

class FakeGameInstall {
public:
    // Creates the directory (it must not exist yet).
    FakeGameInstall(std::filesystem::path directory, const FakeGameOptions& options = {});

    const std::filesystem::path& directory() const { return directory_; }
    // The directory as the program stores it: with a trailing separator.
    std::string text() const;
    std::filesystem::path packagePath() const { return directory_ / "res" / "packages" / "gui.pkg"; }
    // The wanted entries' contents, by file name ("battleAtlas.png", ...).
    const std::string& content(const std::string& fileName) const;

private:
    std::filesystem::path directory_;
    std::vector<std::pair<std::string, std::string>> wanted_;
};

struct AtlasFixture;

// Takes the four wanted entries from generated atlases.
void useGeneratedAtlases(FakeGameOptions& options, const AtlasFixture& battle, const AtlasFixture& marker);
// A small game with generated atlases: 8 battle icons, 5 marker icons.
FakeGameOptions smallGameWithAtlases(const std::string& version = "1.20.0.0");

// Writes a zip with libarchive's writer.
std::vector<std::uint8_t> writeZip(const std::vector<PackageEntry>& entries);
