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
