#pragma once

// The one settings record and its file "ravelin.conf", a JSON object written in a fixed layout.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct Context;

// Directory fields end in the path separator.
struct Settings {
    std::string wotInstallDir;
    std::string wotLastVersion;
    std::int32_t wotNbOfBattleIcons = 0;
    std::int32_t wotNbOfMarkerIcons = 0;
    std::string acCurrentDir;
    std::string acOriginalAtlasDir;
    std::string acNewIconsDir;
    std::int32_t acNewIconFiles = 0;
    std::string acBattleAtlasDir;
    std::int32_t acBattleAtlasWidth = 0;
    std::int32_t acBattleAtlasHeight = 0;
    std::string acMarkerAtlasDir;
    std::int32_t acMarkerAtlasWidth = 0;
    std::int32_t acMarkerAtlasHeight = 0;
    std::int8_t acSaveInGamedir = 0;

    bool operator==(const Settings&) const = default;
};

inline constexpr std::string_view kSettingsFileName = "ravelin.conf";

// Reads "ravelin.conf" of the working directory; false (and Settings untouched) when it is missing,
// unreadable or not valid JSON.
bool loadSettings(Context& context);
// Replaces "ravelin.conf" only when the whole file was written; a failure keeps the previous file.
void saveSettings(Context& context);

// The file's text for the settings, in the exact layout.
std::string settingsFileText(const Settings& settings);

struct ParsedSettings {
    Settings settings;
    std::string documentText;  // the parsed document written out in the file's layout
};
// None when the text is not a JSON document (a byte-order mark included).
std::optional<ParsedSettings> parseSettingsText(std::string_view text);
