#pragma once

// Which mod wins: the other mods that ship the game's atlases (battleAtlas, vehicleMarkerAtlas) beside
// Ravelin's, in the game's folder of loose files and among its packages, which copy the game shows, and
// what a hidden copy loses. The search only reads; what Ravelin wrote comes from its caller, so it does
// not care where the install record lives.

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "atlas/atlas_kind.h"
#include "game/mod_folders.h"
#include "platform/localized_text.h"

class Reporter;

struct ConflictSearch {
    std::string gameDirectory;  // with its trailing separator
    ModFolders folders;         // the game's res_mods/<folder> and mods/<folder>
    // Whether Ravelin wrote the file at this path in the game, as it is now (the install record's word).
    std::function<bool(const std::string& path)> ravelinWrote;
    // The entry names of Ravelin's atlas of each kind; none when there is none to compare with.
    std::array<std::optional<std::vector<std::string>>, kAtlasKindCount> ravelinEntries;
};

// A place that holds atlas files: the files of res_mods/<folder>/gui/flash/atlases/ (Ravelin's or the
// others'), or one package below mods/<folder>/.
struct AtlasHolder {
    std::string path;       // the package, or the atlas folder of loose files
    std::string shownName;  // relative to the game directory ("mods/2.4.0.2/x.wotmod")
    bool looseFiles = false;
    bool ravelins = false;
    std::optional<std::string> id;  // a package's meta.xml id
    std::string relativePath;       // a package's path below mods/<folder>/, "/" between its parts
    // Every file a package gives the game (its path below res/, lower case), sorted: what packages
    // conflict over.
    std::vector<std::string> gameFiles;
    // Per kind: its atlas files, by the kind's file names (lower case), and the names of its XML's
    // entries, none when it holds no XML or it could not be read.
    std::array<std::vector<std::string>, kAtlasKindCount> atlasFiles;
    std::array<std::optional<std::vector<std::string>>, kAtlasKindCount> entries;
    // Set by the decision: a package that is not loaded at all, for the holder loaded before it with a
    // file of the same path (sharedFile).
    std::optional<std::size_t> notLoadedBecauseOf;
    std::string sharedFile;
};

enum class CopyUse {
    Used,    // the game shows this copy
    Mixed,   // the game takes some of the atlas's files from it and the rest from another: a mismatched atlas
    Hidden,  // another copy, or the game's own atlas, is shown instead
};

// One other mod's copy of one atlas.
struct ForeignAtlasCopy {
    const AtlasKind* kind = nullptr;
    std::size_t holder = 0;  // index into AtlasConflicts::holders
    CopyUse use = CopyUse::Hidden;
    // The holder whose file the game takes instead (of its XML, else its first file); none: the game's own.
    std::optional<std::size_t> shownInstead;
    // The entries it has that Ravelin's atlas lacks, in its order; none when either list is unknown.
    std::optional<std::vector<std::string>> entriesRavelinLacks;
};

struct AtlasConflicts {
    std::vector<AtlasHolder> holders;
    std::vector<ForeignAtlasCopy> foreign;  // in kAtlasKinds' order, then the holders' order
    // Per kind: Ravelin's copy that the game does not show, and the holder shown instead (none: the game's
    // own atlas, or Ravelin installed none).
    std::array<bool, kAtlasKindCount> ravelinHidden{};
    std::array<std::optional<std::size_t>, kAtlasKindCount> shownInsteadOfRavelin;
};

// How many of a hidden atlas's entries are named in the summary.
inline constexpr std::size_t kConflictNamesShown = 5;

// Finds the atlas files of res_mods/<folder>/gui/flash/atlases/ and the packages at any depth below
// mods/<folder>/ (".wotmod", ".mtmod") that hold res/gui/flash/atlases/<atlas files>, and decides which
// copy the game shows. Packages are read under the ceilings and name checks of the game's packages; what
// cannot be read (a package, an entry, load_order.xml) is reported as an error naming it and left out.
AtlasConflicts findAtlasConflicts(const ConflictSearch& search, Reporter& reporter);

// The decision alone, on holders found (Ravelin's and the others'; packages in any order) and the
// packages load_order.xml lists.
AtlasConflicts decideAtlasConflicts(std::vector<AtlasHolder> holders,
                                    const std::vector<std::string>& loadOrder, const ConflictSearch& search);

// How the lines are worded: in English for the log, through the catalogues (platform/localized_text.h)
// for the screen. The members carry the catalogue functions' names, so the texts are collected from
// their calls.
struct ConflictWording {
    std::string (*localized)(std::string_view english, std::initializer_list<TextArgument> arguments);
    std::string (*localizedPlural)(std::int64_t count, std::string_view singular, std::string_view plural,
                                   std::initializer_list<TextArgument> arguments);
};
extern const ConflictWording kEnglishConflictWording;
extern const ConflictWording kLocalizedConflictWording;

// One line per other mod's atlas ("battleAtlas of mods/2.4.0.2/x.wotmod: hidden by Ravelin's ... It has 3
// entries Ravelin's atlas lacks (a, b, c): ravelin-cli import "..." takes them in."); empty when no other
// mod ships either atlas.
std::vector<std::string> atlasConflictLines(const AtlasConflicts& conflicts,
                                            const ConflictWording& wording = kEnglishConflictWording);
