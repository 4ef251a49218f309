// Built by the layer test only, in the atlas layer's place: it must not build, because the program's own
// layer lies above the atlas layer.
#include "app/settings.h"
