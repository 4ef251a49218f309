#pragma once

// Installing the new atlases into the game: the built atlas files copied into the game's mod directory
// for its client version, as one set.

#include <string>
#include <vector>

#include "platform/file_set.h"

struct Context;

// Copies, for both atlases, the XML and each image format the client ships (as the originals show) from
// the working directory into the game's mod directory, creating it as needed. All or nothing: the game
// gets every new file or keeps every file it had. Returns the directory, or the empty text when nothing
// was installed (the reasons logged as errors).
std::string installNewAtlases(Context& context);

// Puts the files into the game as one set (see replaceFiles), logging each installed file or why none
// was. True when all were installed.
bool installFileSet(Context& context, const std::vector<FileCopy>& files);
