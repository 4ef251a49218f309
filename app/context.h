#pragma once

// What every step of the program works with; there is no other shared state.

#include <optional>

#include "app/program_reporter.h"
#include "app/settings.h"
#include "game/installation_search.h"

class EventLog;
class Ui;

struct Context {
    // Installations are looked for in the places given, none by default.
    Context(Settings& settings, EventLog& log, Ui& ui, SearchPlaces places = {})
        : settings(settings), log(log), ui(ui), reporter(log, ui), places(std::move(places)) {}
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    Settings& settings;
    EventLog& log;
    Ui& ui;
    ProgramReporter reporter;  // what the atlas and game layers report through
    SearchPlaces places;       // where the game may be installed
    // The settings as "ravelin.conf" holds them, once loaded or written: what storeChangedSettings compares.
    std::optional<Settings> storedSettings;
};
