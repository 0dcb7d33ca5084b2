#include "export/map_dump.h"

// Not built yet.
