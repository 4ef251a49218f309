#pragma once

// Reads an icon pack into memory: a package (.wotmod, .mtmod, .zip), a folder (a res_mods/<folder> tree,
// an unpacked mod, a folder holding the atlas files or loose icons), or an atlas XML with its image beside
// it. Packages are read under the ceilings, link and name checks of the game's packages; only the files
// the pack's layout (pack_files.h) chooses are read.

#include <cstdint>
#include <string>
#include <vector>

class Reporter;
struct AtlasKind;

struct PackAtlasFiles {
    const AtlasKind* kind = nullptr;  // the kind the XML's file name tells; none for an XML of another name
    std::string xmlShownName;         // the file, as errors name it ("pack.wotmod: res/.../battleAtlas.xml")
    std::string imageShownName;
    std::string xml;
    std::vector<std::uint8_t> image;
    bool dds = false;  // else PNG
};

struct PackLooseIconFile {
    std::string name;  // the icon's name: its file name without ".png"
    std::string shownName;
    std::vector<std::uint8_t> png;
};

struct PackContents {
    bool opened = false;        // false: nothing of the source could be read (the error is reported)
    bool nothingFound = false;  // opened, but it holds no atlas and no loose icon
    std::vector<PackAtlasFiles> atlases;
    std::vector<PackLooseIconFile> looseIcons;
};

// Every file of the source the import takes. A file that cannot be read, or is refused, is reported as an
// error naming the source and the entry, and left out with what belongs to it (an atlas's XML and image go
// together).
PackContents readIconPack(const std::string& path, Reporter& reporter);

// Loose icons are held in memory until they are compared; a pack that holds more than this is refused.
inline constexpr std::uint64_t kMaximumLooseIconBytes = std::uint64_t{512} << 20;
// A folder is not walked beyond this many entries (a pack that large is a mistyped folder).
inline constexpr std::size_t kMaximumFolderEntries = 200000;
