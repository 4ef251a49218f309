#pragma once

// The program's spine: start-up (first start or common start), the event loop with its three handlers,
// and the exits. Every controlled end is a ProgramExit, caught by runProgram.

#include <cstdint>
#include <string>

struct Context;
class Ui;

// Runs the whole program against the given windows. Always returns exit code 0.
int runProgram(Ui& ui);

// The steps, also used by the headless companion.
void startProgram(Context& context);   // start-up up to the shown main window
void runEventLoop(Context& context);   // until a close request of the main window
void finishProgram(Context& context);  // the normal exit: settings saved, log closed

// Sets acCurrentDir to the process's working directory; when that moved, every stored directory that lay
// inside the old one is moved along to the same place inside the new one.
void followMovedWorkingDirectory(Context& context);
// The four working directories are created when missing and stored in the settings.
void createWorkingDirectories(Context& context);
// Battle atlas first, then the marker atlas; the counts are stored as returned.
void extractBothAtlases(Context& context);
// Marker atlas first, then the battle atlas; closes the progress window either way.
void createAtlases(Context& context);
// Unpacks and extracts again after a confirmed game update; stores the new version only when the atlases
// were unpacked and both extractions gave icons.
void reloadGameAtlases(Context& context, const std::string& newVersion);
// Shows the error box and takes the error exit (settings not saved, log not closed).
[[noreturn]] void takeErrorExit(Context& context, const std::string& message);
