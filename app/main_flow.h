#pragma once

// The desktop program's spine: start-up (first start or common start), the event loop with its three
// handlers, and the exits. Every controlled end is a ProgramExit, caught by runProgram.

#include "game/installation_search.h"

class DesktopUi;

// Runs the whole program against the given windows, looking for the game in the places given. Returns
// exit code 0, or 1 when another Ravelin works in the working directory (said in a box, no window opened).
int runProgram(DesktopUi& ui, const SearchPlaces& places = systemSearchPlaces());
