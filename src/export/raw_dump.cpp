#include "export/raw_dump.h"

// Not built yet.
