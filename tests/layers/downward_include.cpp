// Built by the layer test only, in the atlas layer's place: a layer below is reachable.
#include "image/image.h"
#include "platform/file_io.h"
