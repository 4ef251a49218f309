#pragma once

// Putting files into the game as one set, and saying plainly why it could not be done.

#include <string>
#include <vector>

#include "platform/file_set.h"
#include "platform/step_outcome.h"

class Reporter;

// Puts the files into the game as one set (see replaceFiles), logging each installed file or why none
// was: done, or failed with that reason.
StepOutcome installFileSet(const std::vector<FileCopy>& files, Reporter& reporter);

// The line that nothing could be written at path, with "(the folder … is read-only)" after it when its
// folder (the nearest one that exists) is read-only.
std::string withReadOnlyFolderNote(const std::string& line, const std::string& path);
