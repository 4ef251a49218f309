#pragma once

// The working directory and the four directories the program keeps in it.

#include <string>

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
