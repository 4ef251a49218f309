#pragma once

class EventLog;
class Ui;
struct Settings;

// What every operation of the program works with; there is no other shared state.
struct Context {
    Settings& settings;
    EventLog& log;
    Ui& ui;
};
