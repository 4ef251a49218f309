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
    // Today's clients.
    std::string battleAtlasDds{};  // DDS entries beside the XML when not empty
    std::string markerAtlasDds{};
    bool withoutPng = false;           // no PNG entries
    int packageParts = 0;              // gui-part1.pkg ... instead of gui.pkg: markers in part 2, battle in
                                       // part 9, an older battleAtlas.xml in part 10, decoys everywhere
    bool versionInVersionXml = false;  // the launcher configuration names no version; version.xml does
};

class FakeGameInstall {
public:
    // Creates the directory (it must not exist yet).
    FakeGameInstall(std::filesystem::path directory, const FakeGameOptions& options = {});

    const std::filesystem::path& directory() const { return directory_; }
    // The directory as the program stores it: with a trailing separator.
    std::string text() const;
    std::filesystem::path packagePath() const { return directory_ / "res" / "packages" / "gui.pkg"; }
    std::filesystem::path partPath(int part) const {
        return directory_ / "res" / "packages" / ("gui-part" + std::to_string(part) + ".pkg");
    }
    // The wanted entries' contents, by file name ("battleAtlas.png", "battleAtlas.dds", ...).
    const std::string& content(const std::string& fileName) const;

private:
    void writeParts(const FakeGameOptions& options);

    std::filesystem::path directory_;
    std::vector<std::pair<std::string, std::string>> wanted_;
};

struct AtlasFixture;

// Takes the four wanted entries from generated atlases.
void useGeneratedAtlases(FakeGameOptions& options, const AtlasFixture& battle, const AtlasFixture& marker);
// A small game with generated atlases: 8 battle icons, 5 marker icons.
FakeGameOptions smallGameWithAtlases(const std::string& version = "1.20.0.0");
// The same as today's clients ship it: ten package parts, a BC7 battle and a BC3 marker atlas (full mip
// chain), no PNG, the version in version.xml only.
FakeGameOptions smallTodaysGameWithAtlases(const std::string& version = "2.4.0.2");

// Writes a zip with libarchive's writer.
std::vector<std::uint8_t> writeZip(const std::vector<PackageEntry>& entries);
