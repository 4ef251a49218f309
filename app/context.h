#pragma once

// What every step of the program works with; there is no other shared state.

#include "app/program_reporter.h"

class EventLog;
class Ui;
struct Settings;

struct Context {
    Context(Settings& settings, EventLog& log, Ui& ui)
        : settings(settings), log(log), ui(ui), reporter(log, ui) {}
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    Settings& settings;
    EventLog& log;
    Ui& ui;
    ProgramReporter reporter;  // what the atlas and game layers report through
};
