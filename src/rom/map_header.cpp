#include "rom/map_header.h"

// Not built yet.
