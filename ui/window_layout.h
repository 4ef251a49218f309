#pragma once

// The windows' fixed layout: places in pixels of the client area at 96 dots per inch, captions and the
// texts the main window shows. Both backends build their windows from it.

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/localized_text.h"
#include "ui/ui.h"

#include "platform/localized_text.h"

struct ControlPlace {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const ControlPlace&, const ControlPlace&) = default;
};

namespace main_window {

// The rows: the game, each atlas kind's default icons, the new icons; 35 pixels apart. What lies below
// them moves down with each row beyond the four the window was drawn for.
inline constexpr int kRowCount = 2 + static_cast<int>(kAtlasRowCount);
inline constexpr int kNewIconsRow = kRowCount - 1;
inline constexpr int kRowPitch = 35;
inline constexpr int kBelowRows = kRowPitch * (kRowCount - 4);

inline constexpr int kClientWidth = 600;
inline constexpr int kClientHeight = 250 + kBelowRows;

inline constexpr std::array<std::string_view, kRowCount> kDirectoryCaptions = {
    translatable("World of Tanks® install directory:"), translatable("Battle Atlas icon directory:"),
    translatable("Marker Atlas icon directory:"), translatable("New contour icon directory:")};
inline constexpr std::array<std::string_view, kAtlasRowCount> kIconCountCaptions = {
    translatable("Battle icons found: "), translatable("Marker icons found: ")};
inline constexpr std::string_view kChooseCaption = ". . .";
inline constexpr std::string_view kSaveInGameDirectoryCaption = translatable(
    "Save the new Atlases files directly in the game dirrectory and not in the current directory.");
inline constexpr std::string_view kInstructionsCaption = "?";
inline constexpr std::string_view kCreateAtlasesCaption = translatable("Create Atlases");

constexpr ControlPlace captionPlace(int row) {
    return {10, 10 + kRowPitch * row, 160, 20};
}
constexpr ControlPlace fieldPlace(int row) {
    return {170, 7 + kRowPitch * row, 380, 24};
}
inline constexpr ControlPlace kChooseGameDirectoryPlace{560, 3, 32, 32};
inline constexpr ControlPlace kChooseNewIconsDirectoryPlace{560, 3 + kRowPitch* kNewIconsRow, 32, 32};
inline constexpr ControlPlace kSaveInGameDirectoryPlace{10, 150 + kBelowRows, 580, 25};
inline constexpr ControlPlace kInstructionsPlace{10, 190 + kBelowRows, 32, 32};
inline constexpr ControlPlace kCreateAtlasesPlace{kClientWidth - 160, 192 + kBelowRows, 150, 28};
// In the empty stretch between "?" and "Create Atlases", level with "Create Atlases".
inline constexpr std::string_view kIconOverviewCaption = translatable("Icons\u2026");
inline constexpr ControlPlace kIconOverviewPlace{52, 192 + kBelowRows, 90, 28};

// What each control of the main window is; a row's caption and field also name their row.
enum class MainControlRole {
    DirectoryCaption,
    DirectoryField,
    ChooseGameDirectory,
    ChooseNewIconsDirectory,
    SaveInGameDirectory,
    Instructions,
    IconOverview,
    CreateAtlases,
};
struct PlacedControl {
    MainControlRole role;
    int row;  // the caption's and the field's; 0 for the others
    ControlPlace place;
};

// Every control above the status line with its place, in creation and tab order: each row's caption and
// field, the row's ". . ." where it has one, then the check box and the buttons.
inline std::vector<PlacedControl> placedControls() {
    std::vector<PlacedControl> controls;
    for (int row = 0; row < kRowCount; ++row) {
        controls.push_back({MainControlRole::DirectoryCaption, row, captionPlace(row)});
        controls.push_back({MainControlRole::DirectoryField, row, fieldPlace(row)});
        if (row == 0)
            controls.push_back({MainControlRole::ChooseGameDirectory, 0, kChooseGameDirectoryPlace});
        if (row == kNewIconsRow)
            controls.push_back({MainControlRole::ChooseNewIconsDirectory, 0, kChooseNewIconsDirectoryPlace});
    }
    controls.insert(controls.end(), {{MainControlRole::SaveInGameDirectory, 0, kSaveInGameDirectoryPlace},
                                     {MainControlRole::Instructions, 0, kInstructionsPlace},
                                     {MainControlRole::IconOverview, 0, kIconOverviewPlace},
                                     {MainControlRole::CreateAtlases, 0, kCreateAtlasesPlace}});
    return controls;
}

// The status line's fields, left to right, of equal width: the version, each atlas's icons, the new icons.
inline constexpr int kStatusFieldCount = 2 + static_cast<int>(kAtlasRowCount);
inline constexpr int kStatusFieldWidth = kClientWidth / kStatusFieldCount;

inline std::array<std::string, kStatusFieldCount> statusTexts(const MainWindowView& view) {
    std::array<std::string, kStatusFieldCount> texts;
    texts.front() = localized("Game Version: {version}", {{"version", view.gameVersion}});
    for (std::size_t atlas = 0; atlas < kAtlasRowCount; ++atlas)
        texts[atlas + 1] = localized(kIconCountCaptions[atlas]) + std::to_string(view.atlases[atlas].icons);
    texts.back() = localized("New icons found: {count}", {{"count", view.newIcons}});
    return texts;
}

// The directories in the order of the rows.
inline std::array<const std::string*, kRowCount> directories(const MainWindowView& view) {
    std::array<const std::string*, kRowCount> rows;
    rows.front() = &view.installDirectory;
    for (std::size_t atlas = 0; atlas < kAtlasRowCount; ++atlas)
        rows[atlas + 1] = &view.atlases[atlas].iconDirectory;
    rows.back() = &view.newIconDirectory;
    return rows;
}

// "Create Atlases" needs every directory.
inline bool canCreateAtlases(const MainWindowView& view) {
    for (const std::string* directory : directories(view)) {
        if (directory->empty()) return false;
    }
    return true;
}

// The check box needs a game to put the atlases into.
inline bool canSaveInGameDirectory(const MainWindowView& view) {
    return !view.installDirectory.empty();
}

// Every caption with the width it may take, in groups that keep one font size: the labels are 160 px
// wide, the check box leaves room for its indicator, the status fields hold a five-digit count or a long
// version behind their borders.
inline std::vector<std::pair<std::string, int>> captionsAndWidths() {
    std::vector<std::pair<std::string, int>> captions;
    for (std::string_view caption : kDirectoryCaptions) captions.emplace_back(localized(caption), 160);
    captions.insert(captions.end(), {{localized(kSaveInGameDirectoryCaption), 550},
                                     {localized(kCreateAtlasesCaption), 130},
                                     {localized(kIconOverviewCaption), 70},
                                     {localized("Game Version: {version}", {{"version", "1.20.1.12345"}}),
                                      kStatusFieldWidth - 8}});
    for (std::string_view caption : kIconCountCaptions)
        captions.emplace_back(localized(caption) + "99999", kStatusFieldWidth - 8);
    captions.emplace_back(localized("New icons found: {count}", {{"count", 99999}}), kStatusFieldWidth - 8);
    return captions;
}

}  // namespace main_window

namespace build_summary {
inline constexpr std::string_view kTitle = translatable("Atlases created");
inline constexpr std::string_view kTitleWithErrors = translatable("Atlases created with errors");
inline constexpr std::string_view kOpenFolderCaption = translatable("Open folder");
inline constexpr std::string_view kShowIconsCaption = translatable("Show icons");
}  // namespace build_summary

// Importing icon packs from the main window: its context menu and shortcuts, the choosers they open, and
// the box that tells the outcome. Nothing of it sits in the window's fixed layout; the texts are shown
// localized().
namespace import_action {
inline constexpr std::string_view kFilesShortcut = "Ctrl+I";
inline constexpr std::string_view kFolderShortcut = "Ctrl+Shift+I";
inline constexpr std::string_view kFilesTitle = translatable("Import icon packs");
inline constexpr std::string_view kFilesFilterName = translatable("Icon packs and atlas XML");
inline constexpr std::string_view kFilesPatterns[] = {"*.wotmod", "*.mtmod", "*.zip", "*.xml"};
inline constexpr std::string_view kFolderTitle = translatable("Import icons from a folder");
inline constexpr std::string_view kSummaryTitle = translatable("Icons imported");
inline constexpr std::string_view kSummaryTitleWithErrors = translatable("Icons imported with errors");
// An action's caption: the title of the chooser it opens, with the ellipsis that says one opens.
inline std::string actionCaption(std::string_view title) {
    return localized(title) + "\u2026";
}
// What the main window's action asks for.
enum class Choice { Files, Folder };
}  // namespace import_action

// The Language menu of the main window's context menu, beside the import actions.
namespace language_menu {
inline constexpr std::string_view kTitle = translatable("Language");
inline constexpr std::string_view kSystemLanguage = translatable("System language");
}  // namespace language_menu

namespace icon_overview_window {
// It opens at this size until the user chooses another; it may be made larger, or smaller down to the
// minimum, where the top row still fits beside a search field of 95 pixels.
inline constexpr int kClientWidth = 760;
inline constexpr int kClientHeight = 560;
inline constexpr int kMinimumClientWidth = 640;
inline constexpr int kMinimumClientHeight = 300;
inline constexpr std::string_view kTitle = translatable("Icons");
inline constexpr std::string_view kAtlasCaption = translatable("Atlas:");
inline constexpr ControlPlace kAtlasCaptionPlace{10, 12, 45, 20};
inline constexpr ControlPlace kAtlasPlace{55, 8, 180, 24};
inline constexpr std::string_view kFilterCaption = translatable("Show:");
inline constexpr ControlPlace kFilterCaptionPlace{250, 12, 40, 20};
inline constexpr ControlPlace kFilterPlace{290, 8, 180, 24};
inline constexpr std::string_view kSearchCaption = translatable("Search:");
inline constexpr ControlPlace kSearchCaptionPlace{485, 12, 50, 20};
inline constexpr int kCellWidth = 150;  // at least: a picture of two icons and two lines of text
inline constexpr int kCellHeight = 96;
inline constexpr std::string_view kUnmatchedCaption =
    translatable("Files in the replacement folder that match no icon:");
inline constexpr std::string_view kRefreshHint = translatable("F5 reads the files again");

// What follows the window's size: the search field and the list of files below take the width, the
// grid takes width and height; the top row stays where it is.
struct SizedPlaces {
    ControlPlace search;
    ControlPlace grid;
    ControlPlace unmatchedCaption;
    ControlPlace refreshHint;
    ControlPlace unmatched;
};
constexpr SizedPlaces sizedPlaces(int clientWidth, int clientHeight) {
    const int width = clientWidth < kMinimumClientWidth ? kMinimumClientWidth : clientWidth;
    const int height = clientHeight < kMinimumClientHeight ? kMinimumClientHeight : clientHeight;
    return {{535, 8, width - 545, 24},
            {10, 40, width - 20, height - 180},
            {10, height - 132, 500, 20},
            {width - 200, height - 132, 190, 20},
            {10, height - 110, width - 20, 100}};
}

// The width of the grid's cells: as many columns of at least the narrowest cell as the grid's inner width
// holds, sharing it out, so no wide strip stays empty on the right.
constexpr int cellWidthFor(int innerWidth, int narrowestCell = kCellWidth) {
    const int columns = innerWidth / narrowestCell;
    return columns < 1 ? narrowestCell : innerWidth / columns;
}

// The size it opens at: the size asked for (none chosen yet: the default), within the minimum and the
// room there is (when known, i.e. above 0).
constexpr std::pair<int, int> openingClientSize(int width, int height, int roomWidth, int roomHeight) {
    const auto within = [](int wanted, int fallback, int minimum, int room) {
        int size = wanted > 0 ? wanted : fallback;
        if (room > 0 && size > room) size = room;
        return size < minimum ? minimum : size;
    };
    return {within(width, kClientWidth, kMinimumClientWidth, roomWidth),
            within(height, kClientHeight, kMinimumClientHeight, roomHeight)};
}
}  // namespace icon_overview_window

namespace progress_window {
inline constexpr int kClientWidth = 300;
inline constexpr int kClientHeight = 90;
inline constexpr ControlPlace kTextPlace{10, 10, 280, 40};
inline constexpr ControlPlace kBarPlace{10, 55, 280, 25};
}  // namespace progress_window

// The list of installations found, with "Other folder…" for the folder picker.
namespace installation_chooser {
inline constexpr int kClientWidth = 520;
inline constexpr int kClientHeight = 200;
inline constexpr std::string_view kTitle = translatable("Select the WoT install dir:");
inline constexpr std::string_view kPrompt = translatable("World of Tanks® is installed in these places:");
inline constexpr ControlPlace kPromptPlace{10, 10, 500, 20};
inline constexpr ControlPlace kListPlace{10, 35, 500, 120};
inline constexpr ControlPlace kOtherFolderPlace{10, 165, 130, 28};
inline constexpr ControlPlace kUsePlace{320, 165, 90, 28};
inline constexpr ControlPlace kCancelPlace{420, 165, 90, 28};
inline constexpr std::string_view kOtherFolderCaption = translatable("Other folder…");
inline constexpr std::string_view kUseCaption = translatable("OK");
inline constexpr std::string_view kCancelCaption = translatable("Cancel");
}  // namespace installation_chooser

namespace instructions_window {
inline constexpr int kClientWidth = 420;
inline constexpr int kClientHeight = 600;
inline constexpr std::string_view kTitle = translatable("Instructions");
inline constexpr ControlPlace kTextPlace{10, 10, 400, 550};
inline constexpr ControlPlace kClosePlace{170, 560, 100, 30};
inline constexpr std::string_view kCloseCaption = translatable("Close");

// The window is never taller than the screen has room for: it gives up height down to a floor, the text
// field scrolls, and "Close" stays below it.
inline constexpr int kMinimumClientHeight = 160;
constexpr int clientHeightFor(int availableClientHeight) {
    return availableClientHeight < kMinimumClientHeight ? kMinimumClientHeight
           : availableClientHeight > kClientHeight      ? kClientHeight
                                                        : availableClientHeight;
}
constexpr ControlPlace textPlace(int clientHeight) {
    return {kTextPlace.x, kTextPlace.y, kTextPlace.width, kTextPlace.height - (kClientHeight - clientHeight)};
}
constexpr ControlPlace closePlace(int clientHeight) {
    return {kClosePlace.x, kClosePlace.y - (kClientHeight - clientHeight), kClosePlace.width,
            kClosePlace.height};
}
}  // namespace instructions_window

// The built-in instructions as stored: UTF-8 with a byte-order mark and CR LF line ends.
std::string_view instructionsText();

// The instructions as a window shows them: without the byte-order mark, which is not part of the text, and
// in the user's language paragraph by paragraph (scripts/update-pot takes the same paragraphs into the
// catalogues).
inline std::string shownInstructionsText() {
    std::string_view text = instructionsText();
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    constexpr std::string_view kBetweenParagraphs = "\r\n\r\n";
    std::string shown;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(kBetweenParagraphs, start), text.size());
        if (start > 0) shown += kBetweenParagraphs;
        shown += end > start ? localized(text.substr(start, end - start)) : std::string();
        start = end + kBetweenParagraphs.size();
    }
    return shown;
}
