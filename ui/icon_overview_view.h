#pragma once

// What the icon overview window shows: per atlas every icon with its state and the files to draw, and
// the files of the replacement folder that match no icon. The program fills it; the windows only draw it
// (loading the pictures themselves, lazily) and filter it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/localized_text.h"
#include "platform/text_utilities.h"

enum class OverviewMark { Default, EmptyReplacement, Replaced, OtherSize, UnreadableReplacement };

struct OverviewIcon {
    std::string name;
    OverviewMark mark = OverviewMark::Default;
    bool isNew = false;
    std::string defaultPath;
    std::string replacementPath;  // the replacement's file, also an empty or unreadable one; else empty
};

struct OverviewAtlas {
    std::string title;
    std::vector<OverviewIcon> icons;
};

struct OverviewUnmatchedFile {
    std::string fileName;
    std::string suggestion;
};

namespace icon_overview {

// The filter's choices, in the order the windows list them.
enum class Filter { All, Replaced, Default, UnreadableReplacement, OtherSize, New, NeedsAttention };
inline constexpr std::string_view kFilterCaptions[] = {
    translatable("All icons"),      translatable("Replaced"),
    translatable("Default"),        translatable("Unreadable replacement"),
    translatable("Other size"),     translatable("New"),
    translatable("Needs attention")};

}  // namespace icon_overview

// The overview's size as the user left it: its client area when not maximised, in pixels at 96 dots per
// inch; 0 where no size was chosen.
struct OverviewWindowSize {
    int width = 0;
    int height = 0;
    bool maximized = false;
    friend bool operator==(const OverviewWindowSize&, const OverviewWindowSize&) = default;
};

struct IconOverviewView {
    std::vector<OverviewAtlas> atlases;
    std::vector<OverviewUnmatchedFile> unmatched;
    // The filter to select; none keeps the one shown (or "All icons" in a new window).
    std::optional<icon_overview::Filter> filter;
    OverviewWindowSize windowSize;  // taken when the window is opened, not when it is shown again
};

namespace icon_overview {

inline bool passes(const OverviewIcon& icon, Filter filter, std::string_view search) {
    bool shown = true;
    switch (filter) {
        case Filter::All:
            break;
        case Filter::Replaced:
            shown = icon.mark == OverviewMark::Replaced || icon.mark == OverviewMark::OtherSize;
            break;
        case Filter::Default:  // an empty file is no replacement
            shown = icon.mark == OverviewMark::Default || icon.mark == OverviewMark::EmptyReplacement;
            break;
        case Filter::UnreadableReplacement:
            shown = icon.mark == OverviewMark::UnreadableReplacement;
            break;
        case Filter::OtherSize:
            shown = icon.mark == OverviewMark::OtherSize;
            break;
        case Filter::New:
            shown = icon.isNew;
            break;
        case Filter::NeedsAttention:  // unreadable, empty and other-size replacements, new icons without one
            shown = icon.mark == OverviewMark::UnreadableReplacement ||
                    icon.mark == OverviewMark::EmptyReplacement || icon.mark == OverviewMark::OtherSize ||
                    (icon.isNew && icon.mark == OverviewMark::Default);
            break;
    }
    // Letter case ignored for ASCII, the names' alphabet.
    return shown && (search.empty() || findIgnoringAsciiCase(icon.name, search) != std::string_view::npos);
}

// The folder a double click opens: the replacement's, else the default icon's.
inline std::string folderToOpen(const OverviewIcon& icon) {
    const std::string& path = icon.replacementPath.empty() ? icon.defaultPath : icon.replacementPath;
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

// The mark under an icon's name.
inline std::string markText(const OverviewIcon& icon) {
    std::string text;
    switch (icon.mark) {
        case OverviewMark::Default:
            text = localized("default");
            break;
        case OverviewMark::EmptyReplacement:
            text = localized("empty file, the default icon is used");
            break;
        case OverviewMark::Replaced:
            text = localized("replaced");
            break;
        case OverviewMark::OtherSize:
            text = localized("other size");
            break;
        case OverviewMark::UnreadableReplacement:
            text = localized("unreadable");
            break;
    }
    return icon.isNew ? localized("{state}, new", {{"state", text}}) : text;
}

// An icon's tooltip: its name in full, which its cell may cut, and the files shown.
inline std::string tooltipText(const OverviewIcon& icon) {
    return icon.name + "\n" + icon.defaultPath +
           (icon.replacementPath.empty() ? "" : "\n" + icon.replacementPath);
}

// The indices of the atlas's icons that pass.
inline std::vector<std::size_t> shownIcons(const OverviewAtlas& atlas, Filter filter,
                                           std::string_view search) {
    std::vector<std::size_t> shown;
    for (std::size_t i = 0; i < atlas.icons.size(); ++i) {
        if (passes(atlas.icons[i], filter, search)) shown.push_back(i);
    }
    return shown;
}

// The text of a row of the list of files that match no icon.
inline std::string unmatchedText(const OverviewUnmatchedFile& file) {
    return file.suggestion.empty() ? file.fileName
                                   : file.fileName + "  \u2192  " +
                                         localized("nearest icon: {name}", {{"name", file.suggestion}});
}

}  // namespace icon_overview
