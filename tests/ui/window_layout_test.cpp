#include <gtest/gtest.h>

#include <vector>

#include "tests/support/main_window_layout_check.h"

// The main window's places in pixels, as modders have always seen it: the window suites of both backends
// check their controls against the table, and this pins the table.
TEST(MainWindowLayout, KeepsTheWindowsPixels) {
    using namespace main_window;
    using Role = MainControlRole;
    EXPECT_EQ(kClientWidth, 600);
    EXPECT_EQ(kClientHeight, 250);
    EXPECT_EQ(kStatusFieldWidth, 150);
    std::vector<PlacedControl> expected;
    for (int row = 0; row < 4; ++row) {
        expected.push_back({Role::DirectoryCaption, row, {10, 10 + 35 * row, 160, 20}});
        expected.push_back({Role::DirectoryField, row, {170, 7 + 35 * row, 380, 24}});
        if (row == 0) expected.push_back({Role::ChooseGameDirectory, 0, {560, 3, 32, 32}});
    }
    expected.insert(expected.end(), {{Role::ChooseNewIconsDirectory, 0, {560, 108, 32, 32}},
                                     {Role::SaveInGameDirectory, 0, {10, 150, 580, 25}},
                                     {Role::Instructions, 0, {10, 190, 32, 32}},
                                     {Role::IconOverview, 0, {52, 192, 90, 28}},
                                     {Role::CreateAtlases, 0, {440, 192, 150, 28}}});
    const std::vector<PlacedControl> placed = placedControls();
    ASSERT_EQ(placed.size(), expected.size());
    for (std::size_t i = 0; i < placed.size(); ++i) {
        EXPECT_EQ(placed[i].role, expected[i].role) << i;
        EXPECT_EQ(placed[i].row, expected[i].row) << i;
        EXPECT_EQ(placed[i].place, expected[i].place) << i;
    }
}

// The icon overview at its default size keeps the places it always had; larger, the grid and the list
// below take the room, and the grid's columns share its width.
TEST(IconOverviewLayout, FollowsTheWindowsSize) {
    using namespace icon_overview_window;
    const SizedPlaces places = sizedPlaces(kClientWidth, kClientHeight);
    EXPECT_EQ(places.search, (ControlPlace{535, 8, 215, 24}));
    EXPECT_EQ(places.grid, (ControlPlace{10, 40, 740, 380}));
    EXPECT_EQ(places.unmatchedCaption, (ControlPlace{10, 428, 500, 20}));
    EXPECT_EQ(places.refreshHint, (ControlPlace{560, 428, 190, 20}));
    EXPECT_EQ(places.unmatched, (ControlPlace{10, 450, 740, 100}));
    EXPECT_EQ(sizedPlaces(1200, 900).grid, (ControlPlace{10, 40, 1180, 720}));
    EXPECT_EQ(sizedPlaces(100, 100).grid, sizedPlaces(kMinimumClientWidth, kMinimumClientHeight).grid);

    const std::pair<int, int> cells[] = {{100, 150}, {150, 150}, {299, 299},
                                         {300, 150}, {723, 180}, {1179, 168}};
    for (const auto& [inner, cell] : cells) EXPECT_EQ(cellWidthFor(inner), cell) << inner;

    // Opening: the default where none was chosen, never below the minimum nor beyond the room known.
    EXPECT_EQ(openingClientSize(0, 0, 1920, 1040), std::make_pair(760, 560));
    EXPECT_EQ(openingClientSize(1000, 800, 0, 0), std::make_pair(1000, 800));
    EXPECT_EQ(openingClientSize(5000, 5000, 1920, 1040), std::make_pair(1920, 1040));
    EXPECT_EQ(openingClientSize(10, 10, 1920, 1040),
              std::make_pair(kMinimumClientWidth, kMinimumClientHeight));
    EXPECT_EQ(openingClientSize(0, 0, 600, 400), std::make_pair(kMinimumClientWidth, 400));
}
