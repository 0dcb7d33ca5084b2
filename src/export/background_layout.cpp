#include "export/background_layout.h"

// Not built yet.
