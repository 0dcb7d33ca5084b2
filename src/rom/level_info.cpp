#include "rom/level_info.h"

// Not built yet.
