// Built by the layer test only, in the atlas layer's place and in the mods layer's: it must not build,
// because the program's own layer lies above both.
#include "app/settings.h"
