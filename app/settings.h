#pragma once

// The one settings record and its file "ravelin.conf", a JSON object written in a fixed layout.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "atlas/atlas_kind.h"

struct Context;

// What the program stores of one atlas kind, under the kind's keys.
struct AtlasRecord {
    std::string iconDirectory;    // where its default icons are
    std::int32_t iconCount = 0;   // what the last extraction found
    std::int32_t atlasWidth = 0;  // the game's atlas image size
    std::int32_t atlasHeight = 0;

    bool operator==(const AtlasRecord&) const = default;
};

// Directory fields end in the path separator.
struct Settings {
    std::string wotInstallDir;
    std::string wotLastVersion;
    std::string acCurrentDir;
    std::string acOriginalAtlasDir;
    std::string acNewIconsDir;
    std::int32_t acNewIconFiles = 0;
    std::int8_t acSaveInGamedir = 0;
    // The icon overview's size (see OverviewWindowSize); written only once the user chose one, so a file
    // of someone who never resized it stays as it always was.
    std::int32_t acOverviewWidth = 0;
    std::int32_t acOverviewHeight = 0;
    std::int8_t acOverviewMaximized = 0;
    std::array<AtlasRecord, kAtlasKindCount> atlases;  // in the order of kAtlasKinds
    // The language of the windows and messages the user chose ("de"); empty to follow the system. Written
    // only when set, so the files of everyone else stay as they always were.
    std::string language;

    AtlasRecord& atlas(const AtlasKind& kind) { return atlases[kind.index]; }
    const AtlasRecord& atlas(const AtlasKind& kind) const { return atlases[kind.index]; }

    bool operator==(const Settings&) const = default;
};

inline constexpr std::string_view kSettingsFileName = "ravelin.conf";

// Reads "ravelin.conf" of the working directory; false (and Settings untouched) when it is missing,
// unreadable or not valid JSON.
bool loadSettings(Context& context);
// Replaces "ravelin.conf" only when the whole file was written; a failure keeps the previous file.
void saveSettings(Context& context);
// Writes "ravelin.conf" as saveSettings does when the settings differ from what it holds, without a log
// entry: the desktop program stores each step's result at once, so a killed program loses nothing, and
// its log keeps the one "Saved settings." of the exit. A failure is left to the exit to report.
void storeChangedSettings(Context& context);

// The file's text for the settings, in the exact layout.
std::string settingsFileText(const Settings& settings);

struct ParsedSettings {
    Settings settings;
    std::string documentText;  // the parsed document written out in the file's layout
};
// None when the text is not a JSON document (a byte-order mark included).
std::optional<ParsedSettings> parseSettingsText(std::string_view text);
