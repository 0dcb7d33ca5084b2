#include "export/enemy_layout.h"

// Not built yet.
