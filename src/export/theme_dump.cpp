#include "export/theme_dump.h"

// Not built yet.
