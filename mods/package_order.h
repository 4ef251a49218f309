#pragma once

// What decides the order the game loads the packages of "mods/<folder>/" in: each package's "meta.xml"
// (its <id>) and the folder's "load_order.xml" (the packages it lists). Both are read from text, so they
// are tested and fuzzed without a disk; both files come from other mods and may hold anything.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The <id> of a meta.xml (<root><id>author.mod</id>...</root>), without surrounding blanks and line ends.
// None when the text is not XML, has no id, an empty one, or one holding a control character.
std::optional<std::string> packageIdInMetaXml(std::string_view text);

struct LoadOrderReading {
    bool readable = false;  // false: not XML (fault says why), to be taken as if there were no file
    std::string fault;
    // The packages named, in the file's order, each as written (separators as "/", blanks trimmed).
    std::vector<std::string> packages;
};

// The packages a load_order.xml lists. The game's file is a root holding one element per package
// (<root><Collection><pkg>author.mod_1.0.wotmod</pkg>...</Collection></root>); every element without
// children whose text ends in ".wotmod" or ".mtmod" (any letter case) counts, at any depth and whatever
// its name, so comments, blanks and elements of other kinds are passed over.
LoadOrderReading readLoadOrderXml(std::string_view text);

// Whether a load_order.xml entry names the package at relativePath (its path below "mods/<folder>/" with
// "/" between its parts): the same path, or the same file name for an entry without a folder, letter case
// ignored as Windows' file system ignores it.
bool loadOrderEntryNames(std::string_view entry, std::string_view relativePath);
