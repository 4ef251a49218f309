#pragma once

// The state of every icon as a build would take it, read from disk: per atlas each catalogued icon with
// its default file and, where there is one, the replacement that stands in for it; the files of the
// replacement folder that match no icon, each with the nearest catalogue name. The build summary, the
// icon overview and the report are all made from this one model.

#include <cstdint>
#include <string>
#include <vector>

#include "atlas/icon_source.h"

struct AtlasKind;
struct CatalogueEntry;

struct IconStateEntry {
    std::string name;  // as in the catalogue
    IconState state = IconState::Default;
    bool isNew = false;      // not in the catalogue before the last game update
    std::int32_t width = 0;  // the default icon's size, from the catalogue
    std::int32_t height = 0;
    std::int32_t replacementWidth = 0;  // the replacement's size, when it loads
    std::int32_t replacementHeight = 0;
    std::string defaultPath;
    std::string replacementPath;  // the replacement's file, an empty or unreadable one too; else empty

    bool hasReplacement() const { return state == IconState::Replaced || state == IconState::OtherSize; }
};

struct IconStateCounts {
    std::size_t icons = 0;
    std::size_t replaced = 0;  // those of another size included
    std::size_t otherSize = 0;
    std::size_t unreadable = 0;
    std::size_t empty = 0;  // empty replacement files
    std::size_t newIcons = 0;
    std::size_t newWithoutReplacement = 0;
};

struct AtlasIconStates {
    const AtlasKind* kind = nullptr;
    bool catalogueFound = false;
    std::vector<IconStateEntry> icons;  // in catalogue order
    IconStateCounts counts;
};

struct UnmatchedIconFile {
    std::string fileName;    // as it lies in the replacement folder
    std::string suggestion;  // the nearest catalogue name; empty without any catalogue
};

struct IconStateModel {
    std::string replacementDirectory;
    std::vector<AtlasIconStates> atlases;
    std::vector<UnmatchedIconFile> unmatched;  // in name order
};

struct IconStateSource {
    const AtlasKind& kind;
    std::string defaultIconDirectory;  // ends in the separator
};

// Reads the catalogues (and their lists of new names) in workingDirectory, resolves each icon's source
// (resolveIconSource) in replacementDirectory, and lists the "*.png" files there that no icon of any atlas
// takes.
IconStateModel readIconStates(const std::vector<IconStateSource>& sources,
                              const std::string& workingDirectory, const std::string& replacementDirectory);

// The model of atlases whose states are known already (those a build took), with the unmatched files.
IconStateModel iconStateModelOf(std::vector<AtlasIconStates> atlases,
                                const std::string& replacementDirectory);

// The entry of a catalogued icon whose source is resolved; isNew is left for finishAtlasIconStates.
IconStateEntry iconStateEntryOf(const CatalogueEntry& icon, const IconSource& source);
// The entries of a catalogue's icons, their sources resolved on every core, in the catalogue's order.
std::vector<IconStateEntry> resolveIconStates(const std::vector<CatalogueEntry>& catalogue,
                                              const std::string& replacementDirectory,
                                              const std::string& defaultDirectory);
// Marks the icons named in the kind's list of new names in workingDirectory and counts the states.
void finishAtlasIconStates(AtlasIconStates& atlas, const std::string& workingDirectory);

IconStateCounts countIconStates(const std::vector<IconStateEntry>& icons);
