#pragma once

// Which file stands for a catalogued icon, decided in this one place for the build, the icon states (the
// summary, the overview, the report) and the package's count of replaced icons: the replacement of the
// icon's name only when it decodes whole, header and pixels; otherwise the default icon, at its own size.

#include <cstdint>
#include <optional>
#include <string>

#include "image/image.h"
#include "platform/folder_names.h"

struct CatalogueEntry;

enum class IconState {
    Default,           // no replacement: the default icon is used
    EmptyReplacement,  // an empty (0-byte) replacement file, which is no replacement: the default is used
    Replaced,          // a readable replacement of the icon's own size
    OtherSize,         // a readable replacement of another size than the icon it replaces
    UnreadableReplacement,  // a replacement that does not decode whole: the default icon is used
};

struct IconSource {
    IconState state = IconState::Default;
    std::string defaultPath;
    std::string replacementPath;       // the replacement's file when one is there, an empty one included
    std::optional<Image> replacement;  // its pixels when it stands for the icon (Replaced, OtherSize)

    bool replaced() const { return replacement.has_value(); }
    // The file that stands for the icon.
    const std::string& path() const { return replacement ? replacementPath : defaultPath; }
};

// The icon's files are its catalogue name + ".png" in each directory (ending in the separator). A
// replacement of another size than the catalogue's is OtherSize. Decodes the replacement; reads nothing of
// the default icon. Safe to call from several threads at once. With the replacement directory's names
// listed before, an icon whose file is not among them is not looked for on the disk.
IconSource resolveIconSource(const CatalogueEntry& icon, const std::string& replacementDirectory,
                             const std::string& defaultDirectory,
                             const FolderNames* replacementNames = nullptr);
