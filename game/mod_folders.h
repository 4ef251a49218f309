#pragma once

// Where the game reads modified files from: loose files in "res_mods/<folder>/" first, then the packages in
// "mods/<folder>/". The game's "paths.xml" names both folders; a game without one uses its version.

#include <optional>
#include <string>
#include <string_view>

class Reporter;

// The text without surrounding blanks when it can name a folder inside the game: a letter or digit, then
// letters, digits, blanks, ".", "_" and "-", and no "..". Versions and the folders of paths.xml both pass
// it, so neither can lead out of the game directory ("2.4.1.0 Common Test" passes, "../x" does not).
std::optional<std::string> gameFolderName(std::string_view text);

struct ModFolders {
    std::string looseFiles;  // the folder under "res_mods"
    std::string packages;    // the folder under "mods"
};

// The folders in the <Path> entries "./res_mods/NAME" and "./mods/NAME" of installDirectory + "paths.xml"
// (attributes, "\" and a missing "./" allowed); each one paths.xml does not name is the version. None,
// with an error reported, when a named folder or the version fails gameFolderName.
std::optional<ModFolders> readModFolders(const std::string& installDirectory, const std::string& version,
                                         Reporter& reporter);

// The folders' parts from a paths.xml text; empty where it names none.
ModFolders modFoldersInPathsXml(std::string_view text);
