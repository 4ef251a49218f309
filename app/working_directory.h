#pragma once

// The working directory and the four directories the program keeps in it.

#include <functional>
#include <string>

#include "platform/localized_text.h"

struct Context;

// The user's own working directory, "ravelin" in the user's data directory; empty without a home.
std::string userWorkingDirectory();
// Makes it the process's working directory, creating it when missing. False when that fails.
bool enterUserWorkingDirectory();

// The four working directories are created when missing and stored in the settings.
void createWorkingDirectories(Context& context);
// Sets acCurrentDir to the process's working directory; when that moved, every stored directory that lay
// inside the old one is moved along to the same place inside the new one.
void followMovedWorkingDirectory(Context& context);

inline constexpr std::string_view kWrongInstallDirectory =
    translatable("Didn't select the correct install directory, exiting program!");

// The first start once the log is open: the game directory chosen by `chooseGameDirectory`, the working
// directories made, the game's atlases unpacked and cut into icons. A directory whose packages hold no
// atlas is chosen again until `attempts` choices are used up; then the program takes its error exit. When
// the files could not all be written, no game version is remembered. Whether they went in.
bool setUpFirstStart(Context& context, const std::function<void()>& chooseGameDirectory, int attempts);
