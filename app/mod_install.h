#pragma once

// Installing the new atlases into the game: each built atlas file copied into the game's mod directory
// for its client version.

#include <string>

struct Context;

// Copies, for both atlases, the XML and each image format the client ships (as the originals show) from
// the working directory into the game's mod directory, creating it as needed; every file is replaced only
// when completely written. Returns the directory, or the empty text when nothing could be installed (the
// reasons logged as errors).
std::string installNewAtlases(Context& context);
