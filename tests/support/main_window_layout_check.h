#pragma once

// One check of either backend's main window against the layout table: every control at its place, created
// in the table's order.

#include <gtest/gtest.h>

#include <ostream>

#include "ui/window_layout.h"

inline std::ostream& operator<<(std::ostream& out, const ControlPlace& place) {
    return out << "{" << place.x << ", " << place.y << ", " << place.width << ", " << place.height << "}";
}

// What a backend tells of one of its controls: its place in the client area at 96 dpi, and its position
// among the window's children in the order they were created.
struct SeenControl {
    ControlPlace place;
    int creationIndex = -1;
};

template <typename SeeControl>
void expectControlsAtTheirLayoutPlaces(SeeControl see) {
    int previous = -1;
    for (const main_window::PlacedControl& placed : main_window::placedControls()) {
        SCOPED_TRACE(testing::Message()
                     << "role " << static_cast<int>(placed.role) << ", row " << placed.row);
        const SeenControl seen = see(placed);
        EXPECT_EQ(seen.place, placed.place);
        EXPECT_GT(seen.creationIndex, previous);
        previous = seen.creationIndex;
    }
}
